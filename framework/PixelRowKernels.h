#pragma once

#include "framework/PixelRows.h"

// The drawing loops, written so that the compiler vectorises them for whatever
// instruction set the including function is compiled for: 16-bit arithmetic
// throughout, no tables, and no branch inside a row. Each is always inlined,
// so that it takes on the target of the path that calls it.
namespace pixel_kernels {

// i * 255 / 31 and i * 255 / 63 rounded down, as multiplications that stay
// within 16 bits.
[[gnu::always_inline]] inline std::uint16_t Widen5(std::uint16_t i) {
    return static_cast<std::uint16_t>(i * 8 + ((i * 29) >> 7));
}
[[gnu::always_inline]] inline std::uint16_t Widen6(std::uint16_t i) {
    return static_cast<std::uint16_t>(i * 4 + ((i * 49) >> 10));
}

// The three 8-bit components in the order a 24-bit bitmap stores them.
struct Components {
    std::uint16_t blue;
    std::uint16_t green;
    std::uint16_t red;
};

template <bool kIs565> [[gnu::always_inline]] inline Components Expand(std::uint16_t p) {
    if constexpr (kIs565) {
        return {Widen5(p & 31), Widen6((p >> 5) & 63), Widen5(p >> 11)};
    } else {
        return {Widen5(p & 31), Widen5((p >> 5) & 31), Widen5((p >> 10) & 31)};
    }
}

// source * opacity + destination * (255 - opacity) is at most 255 * 255, so
// the mix fits 16 bits. `keep` is all ones where the destination stays.
[[gnu::always_inline]] inline std::uint8_t Mix(std::uint16_t source, std::uint8_t destination,
                                               std::uint16_t opacity, std::uint8_t keep) {
    const auto mixed = static_cast<std::uint8_t>(
        static_cast<std::uint16_t>(source * opacity + destination * (255 - opacity)) >> 8);
    return static_cast<std::uint8_t>((mixed & ~keep) | (destination & keep));
}

// The plain loops, which also finish the rows of the faster paths.
struct Plain {
    template <bool kIs565>
    [[gnu::always_inline]] static void CopyRow(const std::uint16_t* __restrict pixels,
                                               std::uint8_t* __restrict out, int width) {
        for (int column = 0; column < width; ++column) {
            const Components c = Expand<kIs565>(pixels[column]);
            std::uint8_t* pixel = out + 3 * column;
            pixel[0] = static_cast<std::uint8_t>(c.blue);
            pixel[1] = static_cast<std::uint8_t>(c.green);
            pixel[2] = static_cast<std::uint8_t>(c.red);
        }
    }

    template <bool kIs565, bool kKeyed>
    [[gnu::always_inline]] static void BlendRow(const std::uint16_t* __restrict pixels,
                                                std::uint16_t key, std::uint8_t* __restrict out,
                                                int width, std::uint16_t opacity) {
        for (int column = 0; column < width; ++column) {
            const Components c = Expand<kIs565>(pixels[column]);
            std::uint8_t keep = 0;
            if constexpr (kKeyed) {
                keep = static_cast<std::uint8_t>(-(pixels[column] == key));
            }
            std::uint8_t* pixel = out + 3 * column;
            pixel[0] = Mix(c.blue, pixel[0], opacity, keep);
            pixel[1] = Mix(c.green, pixel[1], opacity, keep);
            pixel[2] = Mix(c.red, pixel[2], opacity, keep);
        }
    }
};

template <typename Kernel, bool kIs565>
[[gnu::always_inline]] inline void CopyRows(const PixelRows& rows) {
    for (int row = 0; row < rows.height; ++row) {
        Kernel::template CopyRow<kIs565>(rows.pixels + row * rows.sourceStride,
                                         rows.out + row * rows.outStride, rows.width);
    }
}

template <typename Kernel, bool kIs565, bool kKeyed>
[[gnu::always_inline]] inline void BlendRows(const PixelRows& rows, std::uint16_t opacity) {
    for (int row = 0; row < rows.height; ++row) {
        Kernel::template BlendRow<kIs565, kKeyed>(rows.pixels + row * rows.sourceStride, rows.key,
                                                  rows.out + row * rows.outStride, rows.width,
                                                  opacity);
    }
}

// Draws every row of `rows` with the row functions of `Kernel`, chosen for
// the picture's format and key once for the whole rectangle.
template <typename Kernel> [[gnu::always_inline]] inline void Copy(const PixelRows& rows) {
    rows.is565 ? CopyRows<Kernel, true>(rows) : CopyRows<Kernel, false>(rows);
}

template <typename Kernel>
[[gnu::always_inline]] inline void Blend(const PixelRows& rows, int opacity) {
    const auto a = static_cast<std::uint16_t>(opacity);
    if (rows.keyed) {
        rows.is565 ? BlendRows<Kernel, true, true>(rows, a)
                   : BlendRows<Kernel, false, true>(rows, a);
    } else {
        rows.is565 ? BlendRows<Kernel, true, false>(rows, a)
                   : BlendRows<Kernel, false, false>(rows, a);
    }
}

} // namespace pixel_kernels
