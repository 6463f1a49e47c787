#pragma once

#include "framework/DibInfoHeader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The pixel memory of a CDibBitmap, laid out as a device-independent bitmap:
// |height| rows of width pixels, each row padded to a multiple of four bytes,
// zero-filled when made.
class DibSection {
public:
    // No image is given more pixel memory than this. Wallpapers and pictures are
    // a few megabytes; the limit keeps a damaged header from claiming gigabytes
    // and keeps every size and offset well inside 32-bit signed arithmetic.
    static constexpr std::uint64_t kMaxPixelBytes = 256ull * 1024 * 1024;

    // The section for `header`, or nullptr when its sizes are unusable (width
    // below 1, height 0, a bit count other than 16, 24 or 32, more pixel memory
    // than kMaxPixelBytes) or the memory cannot be obtained.
    static std::unique_ptr<DibSection> Create(const DibInfoHeader& header);

    std::uint8_t* Bits() const { return m_memory.get(); }
    std::size_t Size() const { return m_size; }

private:
    DibSection(std::unique_ptr<std::uint8_t[]> memory, std::size_t size)
        : m_memory(std::move(memory)), m_size(size) {}

    std::unique_ptr<std::uint8_t[]> m_memory;
    std::size_t m_size;
};
