#pragma once

#include "platform/RegistryKeyHandle.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Where the game's settings live and how its folder values name this
// machine's folders: the file store for a game of this machine, Wine's
// registry and drives for a game that runs under Wine.
class IGameHost {
public:
    virtual ~IGameHost() = default;

    // Opens an existing key; the empty subkey is the root itself.
    virtual RegistryStatus OpenKey(std::string_view root, std::string_view subkey,
                                   std::unique_ptr<RegistryKeyHandle>& key) const = 0;
    // Opens the key, adding it when missing; `created` tells which.
    virtual RegistryStatus CreateKey(std::string_view root, std::string_view subkey, bool& created,
                                     std::unique_ptr<RegistryKeyHandle>& key) const = 0;
    // A folder value of the game's settings as this machine's folder, ending
    // in "/"; nothing when it names no folder this machine has.
    virtual std::optional<std::string> LocalDirectory(const std::string& directoryValue) const = 0;
};
