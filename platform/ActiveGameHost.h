#pragma once

#include "platform/GameHost.h"

#include <memory>

// The host of the whole process from now on; nullptr puts the default back.
void InstallGameHost(std::unique_ptr<IGameHost> host);

// The installed host, or else the file store in CRegistryStore::DefaultDirectory()
// as the environment names it at this call.
std::shared_ptr<const IGameHost> ActiveGameHost();
