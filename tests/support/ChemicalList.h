#pragma once

#include "analysis/ArchiveString.h"

#include <functional>

// The bytes of a chemical list file: its 16-bit head, then `count` names in the shortest stored
// form, chemical n being named name(n).
inline std::vector<std::uint8_t> ChemicalList(const std::function<std::string(int)>& name,
                                              int count = 256, std::uint16_t head = 0) {
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(head),
                                       static_cast<std::uint8_t>(head >> 8)};
    for (int i = 0; i < count; ++i) {
        AppendArchiveString(bytes, name(i));
    }
    return bytes;
}
