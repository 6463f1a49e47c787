#pragma once

#include "platform/RegistryFile.h"
#include "platform/RegistryValue.h"

#include <cstdint>
#include <string_view>
#include <vector>

// An open key of the game's registry, wherever that registry lives. Every
// access reaches the registry itself, so values written meanwhile by another
// process (the game) are seen.
class RegistryKeyHandle {
public:
    virtual ~RegistryKeyHandle() = default;

    // The value of that name (empty: the key's unnamed value); Missing when
    // there is none.
    virtual RegistryStatus Read(std::string_view name, RegistryValue& value) const = 0;
    // Sets this one value, leaving every other as it is.
    virtual RegistryStatus Write(std::string_view name, std::uint32_t type,
                                 std::vector<std::uint8_t> data) const = 0;
};
