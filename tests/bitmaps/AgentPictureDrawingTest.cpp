#include "agents/AgentFile.h"
#include "framework/DibBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::uint32_t Pixel24(const CDibBitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.m_topRow + y * bitmap.m_stride + x * 3;
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

constexpr std::uint16_t kKey = 0x001F; // pure blue: the transparent colour
constexpr std::uint16_t kWhite = 0xFFFF;
constexpr std::uint16_t kRed565 = 0xF800;
// A 5-6-5 value of components 1, 2, 3: widened to 8, 8, 24.
constexpr std::uint16_t kDark = 1 << 11 | 2 << 5 | 3;

// Four columns, two rows: key, white, red, dark / white, key, dark, white.
CAgentPicture Picture() {
    const std::vector<std::uint16_t> pixels = {kKey,   kWhite, kRed565, kDark,
                                               kWhite, kKey,   kDark,   kWhite};
    CAgentPicture picture;
    picture.Create(pixels.data(), 4, 2, 1, true);
    return picture;
}

// A 6 x 3 canvas of one colour.
struct Canvas : CDibBitmap {
    explicit Canvas(std::uint32_t colour) {
        Create(6, 3, kDib24);
        FillRect(0, 0, 6, 3, colour);
    }
};

TEST(AgentPictureDrawingTest, CopyDrawsEveryPixelExpanded) {
    const CAgentPicture picture = Picture();
    Canvas canvas(0x404040);
    picture.CopyInto(canvas, 1, 1);
    EXPECT_EQ(Pixel24(canvas, 0, 0), 0x404040u);
    EXPECT_EQ(Pixel24(canvas, 1, 1), 0x0000FFu); // the transparent colour too
    EXPECT_EQ(Pixel24(canvas, 2, 1), 0xFFFFFFu);
    EXPECT_EQ(Pixel24(canvas, 3, 1), 0xFF0000u);
    EXPECT_EQ(Pixel24(canvas, 4, 1), 0x080818u);
    EXPECT_EQ(Pixel24(canvas, 2, 2), 0x0000FFu);
    EXPECT_EQ(Pixel24(canvas, 3, 2), 0x080818u);
    EXPECT_EQ(Pixel24(canvas, 5, 1), 0x404040u);
    EXPECT_EQ(Pixel24(canvas, 5, 2), 0x404040u);

    CAgentPicture rgb555;
    const std::vector<std::uint16_t> pixels = {0x7C00, 0x03E0, 0x0421};
    rgb555.Create(pixels.data(), 3, 1, 0, true);
    Canvas small(0);
    rgb555.CopyInto(small, 0, 0);
    EXPECT_EQ(Pixel24(small, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel24(small, 1, 0), 0x00FF00u);
    EXPECT_EQ(Pixel24(small, 2, 0), 0x080808u);
}

TEST(AgentPictureDrawingTest, BlendMixesOpaquePixelsAndClips) {
    const CAgentPicture picture = Picture();
    Canvas half(0);
    picture.BlendInto(half, 0, 0, 128);
    EXPECT_EQ(Pixel24(half, 0, 0), 0u); // transparent
    EXPECT_EQ(Pixel24(half, 1, 0), 0x7F7F7Fu);
    EXPECT_EQ(Pixel24(half, 2, 0), 0x7F0000u);
    EXPECT_EQ(Pixel24(half, 0, 1), 0x7F7F7Fu);
    EXPECT_EQ(Pixel24(half, 1, 1), 0u);

    Canvas full(0xFFFFFF);
    picture.BlendInto(full, 0, 0, 255 + 256);  // only the low byte counts
    EXPECT_EQ(Pixel24(full, 2, 0), 0xFE0000u); // (255*255 + 255*0) >> 8 = 254, 0
    EXPECT_EQ(Pixel24(full, 0, 0), 0xFFFFFFu);

    Canvas left(0);
    picture.BlendInto(left, -3, 0, 255);
    EXPECT_EQ(Pixel24(left, 0, 0), 0x070717u); // the dark column, darkened by >> 8
    EXPECT_EQ(Pixel24(left, 0, 1), 0xFEFEFEu);
    EXPECT_EQ(Pixel24(left, 1, 0), 0u);

    Canvas bottomRight(0);
    picture.BlendInto(bottomRight, 4, 2, 255);
    EXPECT_EQ(Pixel24(bottomRight, 4, 2), 0u); // the key
    EXPECT_EQ(Pixel24(bottomRight, 5, 2), 0xFEFEFEu);

    for (const auto& [x, y] : {std::pair{6, 0}, {-4, 0}, {0, 3}, {0, -2}}) {
        Canvas outside(0x123456);
        picture.BlendInto(outside, x, y, 255);
        picture.CopyInto(outside, x, y);
        for (int py = 0; py < 3; ++py) {
            for (int px = 0; px < 6; ++px) {
                EXPECT_EQ(Pixel24(outside, px, py), 0x563412u) << x << "," << y;
            }
        }
    }

    CDibBitmap sixteen;
    sixteen.Create(4, 2, kDib565);
    picture.CopyInto(sixteen, 0, 0);
    EXPECT_EQ(sixteen.m_bits[0] | sixteen.m_bits[1] << 8, 0);
}

} // namespace
