#include "framework/PixelRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// Whatever instructions a path uses, it must give the plain path's bytes, in
// the vectorised part of a row, in its remainder and around transparent pixels.
TEST(PixelPaths, EveryPathGivesThePlainBytes) {
    struct Case {
        int width;
        int height;
        bool is565;
        bool keyed;
        int opacity; // -1: copy
    };
    const Case cases[] = {
        {1, 1, true, false, -1},  {7, 3, false, false, -1},  {67, 5, true, false, -1},
        {33, 4, false, true, 0},  {65, 3, true, true, 128},  {100, 2, false, false, 255},
        {16, 9, true, false, 77}, {31, 6, false, true, 200},
    };
    std::mt19937 random(16);
    const auto paths = PixelPaths();
    int compared = 0;
    for (const PixelPath& path : paths.subspan(1)) {
        for (const Case& c : cases) {
            if (!path.supported()) {
                break;
            }
            SCOPED_TRACE(std::string(path.name) + " width " + std::to_string(c.width));
            // Source rows one pixel longer than drawn, as when a picture is clipped.
            const std::size_t stride = std::size_t(c.width) + 1;
            const auto key = static_cast<std::uint16_t>(random());
            std::vector<std::uint16_t> pixels(stride * c.height);
            std::vector<std::uint8_t> expected(std::size_t(c.width) * 3 * c.height);
            for (auto& pixel : pixels) {
                pixel = random() % 3 == 0 ? key : static_cast<std::uint16_t>(random());
            }
            for (auto& byte : expected) {
                byte = static_cast<std::uint8_t>(random());
            }
            std::vector<std::uint8_t> actual = expected;
            const auto draw = [&](const PixelPath& drawing, std::vector<std::uint8_t>& out) {
                const PixelRows rows{pixels.data(), stride,  out.data(), c.width * 3, c.width,
                                     c.height,      c.is565, c.keyed,    key};
                c.opacity < 0 ? drawing.copy(rows) : drawing.blend(rows, c.opacity);
            };
            draw(paths.front(), expected);
            draw(path, actual);
            EXPECT_EQ(actual, expected);
            ++compared;
        }
    }
    if (compared == 0) {
        GTEST_SKIP() << "this processor runs only the plain path";
    }
}

} // namespace
