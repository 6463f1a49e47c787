#pragma once

#include "platform/ByteReader.h"

#include <string>
#include <vector>

// The bytes of a Windows bitmap file, built field by field so that each test states what is
// unusual about its file.
struct BitmapFile {
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::vector<std::uint32_t> masks{}; // written after the 40-byte header
    std::vector<std::uint8_t> pixels{}; // written as given
    std::int64_t pixelOffset = -1;      // -1: directly after header and masks

    std::vector<std::uint8_t> Build() const {
        const auto blockSize = static_cast<std::uint32_t>(40 + 4 * masks.size());
        const auto offset =
            pixelOffset >= 0 ? static_cast<std::uint32_t>(pixelOffset) : 14 + blockSize;
        std::vector<std::uint8_t> out(14 + blockSize);
        out[0] = 'B';
        out[1] = 'M';
        StoreU32(&out[2], static_cast<std::uint32_t>(out.size() + pixels.size()));
        StoreU32(&out[10], offset);
        StoreU32(&out[14], headerSize);
        StoreU32(&out[18], static_cast<std::uint32_t>(width));
        StoreU32(&out[22], static_cast<std::uint32_t>(height));
        StoreU16(&out[26], 1);
        StoreU16(&out[28], bitCount);
        StoreU32(&out[30], compression);
        for (std::size_t i = 0; i < masks.size(); ++i) {
            StoreU32(&out[54 + 4 * i], masks[i]);
        }
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

// A bottom-up 24-bit Windows bitmap file of one colour (0x00BBGGRR).
inline std::string SolidBitmapFile(int width, int height, std::uint32_t colour) {
    const auto stride = static_cast<std::size_t>((width * 3 + 3) / 4 * 4);
    BitmapFile file{.width = width, .height = height};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (const int shift : {16, 8, 0}) { // stored blue, green, red
                file.pixels.push_back(static_cast<std::uint8_t>(colour >> shift));
            }
        }
        file.pixels.resize(stride * static_cast<std::size_t>(y + 1));
    }
    const auto bytes = file.Build();
    return {bytes.begin(), bytes.end()};
}
