#include "agents/AgentFile.h"
#include "platform/ByteReader.h"
#include "tests/support/Kivtool.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <array>

namespace {

// A top-down bit-field Windows bitmap with a version 4 header, whose masks
// (red, green, blue, alpha) take 16 or 32 bits per pixel; words top row first.
std::string BitFieldBitmap(int width, int height, int bits, std::array<std::uint32_t, 4> masks,
                           const std::vector<std::uint32_t>& words) {
    constexpr std::uint32_t kHeaders = 14 + 108;
    const int bytesPerPixel = bits / 8;
    const int rowSize = (width * bytesPerPixel + 3) / 4 * 4;
    std::vector<std::uint8_t> bytes(kHeaders + static_cast<std::size_t>(rowSize * height));
    bytes[0] = 'B';
    bytes[1] = 'M';
    StoreU32(&bytes[2], static_cast<std::uint32_t>(bytes.size()));
    StoreU32(&bytes[10], kHeaders);
    StoreU32(&bytes[14], 108);
    StoreU32(&bytes[18], static_cast<std::uint32_t>(width));
    StoreU32(&bytes[22], static_cast<std::uint32_t>(-height));
    StoreU16(&bytes[26], 1);
    StoreU16(&bytes[28], static_cast<std::uint16_t>(bits));
    StoreU32(&bytes[30], 3);
    for (std::size_t i = 0; i < masks.size(); ++i) {
        StoreU32(&bytes[54 + 4 * i], masks[i]);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            auto* at = &bytes[kHeaders + static_cast<std::size_t>(y * rowSize + x * bytesPerPixel)];
            const std::uint32_t word = words[static_cast<std::size_t>(y * width + x)];
            bits == 16 ? StoreU16(at, static_cast<std::uint16_t>(word)) : StoreU32(at, word);
        }
    }
    return {bytes.begin(), bytes.end()};
}

std::string Png(int width, const std::vector<QRgb>& colours, QImage::Format format) {
    QImage image(width, static_cast<int>(colours.size()) / width, format);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        image.setPixel(static_cast<int>(i) % width, static_cast<int>(i) / width, colours[i]);
    }
    const TempDir folder;
    image.save(QString::fromStdString((folder / "p.png").string()));
    return folder.Read("p.png");
}

struct Case {
    const char* what;
    std::string file; // the picture's bytes
    std::string extension;
    std::vector<std::uint16_t> pixels;
    std::vector<std::uint8_t> mask;
    std::string err; // when refused, after the picture's path
};

TEST(PackPictures, EveryFormTheAppletReadsBecomesTheAgentPicture) {
    constexpr QRgb kClear = 0x00FF0000;
    const std::vector<Case> cases = {
        {"PNG without alpha: the top-left colour is transparent",
         Png(3, {0xFFFF0000, 0xFF00FF00, 0xFFFF0000}, QImage::Format_RGB32),
         "png",
         {0xF800, 0x07E0, 0xF800},
         {0, 255, 0},
         ""},
        {"PNG with alpha: fully transparent pixels take a colour no opaque pixel has",
         Png(4, {kClear, 0xFFFF00FF, 0x800000FF, kClear}, QImage::Format_ARGB32),
         "png",
         {0xF820, 0xF81F, 0x001F, 0xF820},
         {0, 255, 255, 0},
         ""},
        {"PNG whose top-left pixel is opaque but others are not",
         Png(2, {0xFFFFFFFF, kClear}, QImage::Format_ARGB32),
         "png",
         {},
         {},
         ": the top-left pixel must be fully transparent, as an agent's picture takes its colour "
         "for the transparent one"},
        {"32-bit bitmap with alpha",
         BitFieldBitmap(2, 1, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0x00000000, 0xFFFFFFFF}),
         "bmp",
         {0xF81F, 0xFFFF},
         {0, 255},
         ""},
        {"5-6-5 bitmap",
         BitFieldBitmap(3, 1, 16, {0xF800, 0x07E0, 0x001F, 0}, {0x1234, 0xABCD, 0x1234}),
         "bmp",
         {0x1234, 0xABCD, 0x1234},
         {0, 255, 0},
         ""},
        {"not a picture", "hello", "bmp", {}, {}, ": Unsupported image format"},
    };
    for (const auto& c : cases) {
        const TempDir folder;
        const auto picture = folder.Write("pic." + c.extension, c.file);
        folder.Write("m.txt", "[agent]\nname = x\npicture = pic." + c.extension + "\n");
        const std::string output = (folder / "out.kiv").string();
        const auto result = Kivtool({"pack", (folder / "m.txt").string(), "-o", output});
        if (!c.err.empty()) {
            EXPECT_EQ(result.status, 1) << c.what;
            EXPECT_EQ(result.err, "kivtool: " + picture.string() + c.err + "\n") << c.what;
            continue;
        }
        ASSERT_EQ(result.status, 0) << c.what << ": " << result.err;
        const CAgentFile file(output);
        const CAgentPicture& packed = file.m_agents.at(0)->m_picture;
        const std::size_t count = std::size_t{packed.m_width} * packed.m_height;
        EXPECT_EQ(std::vector<std::uint16_t>(packed.m_pixels.get(), packed.m_pixels.get() + count),
                  c.pixels)
            << c.what;
        EXPECT_EQ(std::vector<std::uint8_t>(packed.m_mask.get(), packed.m_mask.get() + count),
                  c.mask)
            << c.what;
    }
}

} // namespace
