#pragma once

#include <cstdint>
#include <string>

// A bottom-up 24-bit Windows bitmap file of one colour (0x00BBGGRR).
inline std::string SolidBitmapFile(int width, int height, std::uint32_t colour) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * height);
    std::string file;
    const auto put = [&file](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            file += static_cast<char>(value >> (8 * i));
        }
    };
    file += "BM";
    put(54 + pixelBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            file += static_cast<char>(colour >> 16);
            file += static_cast<char>(colour >> 8);
            file += static_cast<char>(colour);
        }
        file.append(static_cast<std::size_t>(stride - width * 3), '\0');
    }
    return file;
}
