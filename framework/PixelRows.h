#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// A rectangle of 16-bit picture pixels and the 24-bit destination it is drawn
// into, already clipped to both.
struct PixelRows {
    const std::uint16_t* pixels; // first drawn source pixel
    std::size_t sourceStride;    // pixels per source row
    std::uint8_t* out;           // first destination pixel
    std::ptrdiff_t outStride;    // bytes per destination row
    int width;
    int height;
    bool is565; // otherwise 5-5-5
    bool keyed; // pixels of the key colour are transparent; otherwise all are opaque
    std::uint16_t key;
};

// One way of drawing pixel rows. Every path gives the same bytes; the faster
// ones use instructions that not every x86-64 processor has.
struct PixelPath {
    const char* name;
    bool (*supported)();
    void (*copy)(const PixelRows& rows);
    // Mixes the opaque pixels with the destination at opacity 0..255.
    void (*blend)(const PixelRows& rows, int opacity);
};

// Every path, the plain one first.
std::span<const PixelPath> PixelPaths();
// The fastest path this processor supports, chosen on first use.
const PixelPath& ChosenPixelPath();
