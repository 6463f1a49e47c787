#pragma once

#include "analysis/ArchiveString.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Appends `text` in the shortest narrow form the game writes: one byte below 255, else 255 and a
// 16-bit length below 0xFFFE, else 255, 0xFFFF and a 32-bit length.
inline void AppendArchiveString(std::vector<std::uint8_t>& out, std::string_view text) {
    constexpr std::uint8_t kWordLengthFollows = 0xFF;
    constexpr std::uint16_t kWideMarker = 0xFFFE;
    constexpr std::uint16_t kLongLengthFollows = 0xFFFF;
    const auto length = text.size();
    std::uint8_t prefix[7] = {};
    std::size_t prefixSize = 1;
    if (length < kWordLengthFollows) {
        prefix[0] = static_cast<std::uint8_t>(length);
    } else if (length < kWideMarker) {
        prefix[0] = kWordLengthFollows;
        StoreU16(prefix + 1, static_cast<std::uint16_t>(length));
        prefixSize = 3;
    } else {
        prefix[0] = kWordLengthFollows;
        StoreU16(prefix + 1, kLongLengthFollows);
        StoreU32(prefix + 3, static_cast<std::uint32_t>(length));
        prefixSize = 7;
    }
    out.insert(out.end(), prefix, prefix + prefixSize);
    out.insert(out.end(), text.begin(), text.end());
}

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
