#pragma once

#include <array>
#include <cstdint>

// Widening of 5- and 6-bit colour components to 8 bits, shared by all picture
// drawing: t5[i] = i * 255 / 31 and t6[i] = i * 255 / 63, rounded down.
// Computed at compile time, so they are ready before any drawing.
struct ExpandTables {
    std::array<std::uint8_t, 32> t5{};
    std::array<std::uint8_t, 64> t6{};
};

constexpr ExpandTables MakeExpandTables() {
    ExpandTables tables;
    for (unsigned i = 0; i < tables.t5.size(); ++i) {
        tables.t5[i] = static_cast<std::uint8_t>(i * 255 / 31);
    }
    for (unsigned i = 0; i < tables.t6.size(); ++i) {
        tables.t6[i] = static_cast<std::uint8_t>(i * 255 / 63);
    }
    return tables;
}

inline constexpr ExpandTables kExpandTables = MakeExpandTables();
