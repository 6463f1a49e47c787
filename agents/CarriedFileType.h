#pragma once

#include <cstdint>

// What a file an agent carries or needs is, stored as a 16-bit number. An agent
// file may hold any number there: it is kept as read, written back unchanged,
// and refused when an injection has to place the file.
enum class ECarriedFileType : std::uint16_t {
    kImage = 0,
    kSound = 1,
};
