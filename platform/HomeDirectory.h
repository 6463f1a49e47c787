#pragma once

#include <filesystem>

// $HOME, or the password database's home folder when HOME is unset or empty
// ("/" when even that is unknown).
std::filesystem::path HomeDirectory();
