#include "framework/DibBitmap.h"
#include "agents/AgentFile.h"
#include "framework/PixelRows.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/Caught.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempDir.h"
#include "ui/AgentPictureDrawing.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

const ScopedLocale g_english("C");

// Every pixel in hex of `digits` digits, rows from the top separated by "/".
std::string Rows(int width, int height, int digits,
                 const std::function<unsigned(int, int)>& pixel) {
    std::string out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            char text[16];
            std::snprintf(text, sizeof text, "%0*x", digits, pixel(x, y));
            out += (x > 0 ? " " : y > 0 ? "/" : "") + std::string(text);
        }
    }
    return out;
}

// 0xRRGGBB of a 24-bit bitmap's pixels by the layout's own arithmetic; the
// stored value of a 16-bit one.
std::string Pixels(const CDibBitmap& bitmap) {
    const int bytes = static_cast<int>(bitmap.BytesPerPixel());
    return Rows(bitmap.Width(), bitmap.Height(), bytes * 2, [&](int x, int y) {
        const std::uint8_t* p = bitmap.TopRow() + y * bitmap.Stride() + x * bytes;
        return bytes == 2 ? unsigned(p[0] | p[1] << 8) : unsigned(p[2] << 16 | p[1] << 8 | p[0]);
    });
}

// Format, bytes per pixel, stride, top row's offset and header size, then the pixels.
std::string Described(const CDibBitmap& bitmap) {
    return std::to_string(bitmap.Format()) + " " + std::to_string(bitmap.BytesPerPixel()) + " " +
           std::to_string(bitmap.Stride()) + " " +
           std::to_string(bitmap.TopRow() - bitmap.PixelMemory().data()) + " " +
           std::to_string(bitmap.InfoHeaderSize()) + ": " + Pixels(bitmap);
}

void Load(CDibBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
    bitmap.LoadFromMemory(bytes.data(), bytes.size(), "wall.bmp");
}

// Two rows of three 24-bit pixels, each row padded to 12 bytes; the stored
// first row holds blue values 1, 2, 3, the second 4, 5, 6.
const std::vector<std::uint8_t> kTwoRows = {1, 0, 0, 2, 0, 0, 3, 0, 0, 0, 0, 0,
                                            4, 0, 0, 5, 0, 0, 6, 0, 0, 0, 0, 0};

// What loading `bytes` over a loaded bitmap leaves: its description, or the
// message, which must leave it empty.
std::string Loaded(const std::vector<std::uint8_t>& bytes) {
    CDibBitmap bitmap;
    Load(bitmap, BitmapFile{.pixels = kTwoRows}.Build());
    const std::string message = CaughtMessage([&] { Load(bitmap, bytes); });
    if (message == "(nothing thrown)") {
        return Described(bitmap);
    }
    const bool empty = !bitmap.IsValid() && bitmap.PixelMemory().empty() && !bitmap.TopRow() &&
                       Described(bitmap) == "0 0 0 0 0: ";
    return message + (empty ? "" : " (not emptied)");
}

TEST(DibBitmap, LoadsEveryFormAndRefusesEveryDamage) {
    const auto valid = BitmapFile{.pixels = kTwoRows}.Build();
    const auto prefix = [&](std::size_t size) {
        return std::vector<std::uint8_t>(valid.begin(), valid.begin() + size);
    };
    auto wrongType = valid;
    wrongType[0] = 'X';
    const std::vector<std::uint8_t> shortPixels(kTwoRows.begin(), kTwoRows.end() - 1);
    auto tooMuch = kTwoRows;
    tooMuch.resize(40, 0xEE); // data beyond the image is not read
    const auto sixteen = [](std::uint32_t compression, std::vector<std::uint32_t> masks) {
        return BitmapFile{.bitCount = 16,
                          .compression = compression,
                          .masks = std::move(masks),
                          .pixels = {0, 1, 2, 3, 4, 5, 0, 0, 6, 7, 8, 9, 10, 11, 0, 0}}
            .Build();
    };
    const std::string readError = "Error reading from file \"wall.bmp\"";
    const std::string noSection = "Internal error: CreateDibSection() failed";
    const struct {
        std::vector<std::uint8_t> bytes;
        std::string loaded;
    } cases[] = {
        {valid, "6 3 -12 12 40: 000004 000005 000006/000001 000002 000003"},
        {BitmapFile{.height = -2, .pixels = tooMuch}.Build(),
         "6 3 12 0 40: 000001 000002 000003/000004 000005 000006"},
        // 3 pixels of 2 bytes, padded
        {sixteen(3, {0xF800, 0x07E0, 0x001F}), "5 2 -8 8 52: 0706 0908 0b0a/0100 0302 0504"},
        {sixteen(3, {0x7C00, 0x03E0, 0x001F}), "4 2 -8 8 52: 0706 0908 0b0a/0100 0302 0504"},
        {sixteen(3, {0x0F00, 0x00F0, 0x000F}), "0 2 -8 8 52: 0706 0908 0b0a/0100 0302 0504"},
        {sixteen(0, {}), "4 2 -8 8 40: 0706 0908 0b0a/0100 0302 0504"},
        {BitmapFile{.width = 2, .height = 1, .bitCount = 32, .pixels = {1, 2, 3, 4, 5, 6, 7, 8}}
             .Build(),
         "7 4 -8 0 40: 00030201 00070605"},
        {{}, readError},
        {prefix(13), readError},
        {prefix(40), readError},
        {wrongType, readError},
        {BitmapFile{.bitCount = 8, .pixels = kTwoRows}.Build(), readError},
        {BitmapFile{.compression = 1, .pixels = kTwoRows}.Build(), readError},
        {BitmapFile{.pixels = kTwoRows, .pixelOffset = 53}.Build(), readError},
        {BitmapFile{.pixels = kTwoRows, .pixelOffset = 4000}.Build(), readError},
        {BitmapFile{.headerSize = 12, .pixels = kTwoRows}.Build(), readError},
        {BitmapFile{.pixels = shortPixels}.Build(), readError},
        {BitmapFile{.width = 0, .pixels = kTwoRows}.Build(), noSection},
        {BitmapFile{.bitCount = 12, .pixels = kTwoRows}.Build(), noSection},
        {BitmapFile{.width = 100000, .height = -100000, .pixels = kTwoRows}.Build(), noSection},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(Loaded(c.bytes), c.loaded);
    }
}

TEST(DibBitmap, LoadsFromAFileAndShowsItAsAnImage) {
    const TempDir folder;
    CDibBitmap bitmap;
    bitmap.LoadFromFile(
        folder.Write("wall.bmp", Text(BitmapFile{.pixels = kTwoRows}.Build())).c_str());
    const QImage flipped = bitmap.AsImage(); // the stored rows are bottom first
    EXPECT_EQ(std::tuple(flipped.pixel(0, 0), flipped.pixel(2, 1)),
              std::tuple(0xFF000004u, 0xFF000003u));

    // A top-down bitmap is shown as a view.
    Load(bitmap, BitmapFile{.height = -2, .pixels = kTwoRows}.Build());
    const QImage view = bitmap.AsImage();
    EXPECT_EQ(std::tuple(view.constBits(), view.pixel(1, 1)),
              std::tuple(bitmap.TopRow(), 0xFF000005u));
    // Fills, tints and pictures clip to the bitmap; colours are 0x00BBGGRR. A
    // tint moves each channel by the colour's distance from middle grey.
    bitmap.FillRect(-1, -1, 2, 9, 0x00C8640A);
    bitmap.FillRect(0, 2, 9, 9, 0);
    bitmap.Tint(0, 1, 9, 1, 0x000080FF);
    const std::uint16_t whiteAroundTheKey[] = {0, 0xFFFF, 0, 0xFFFF, 0xFFFF};
    CAgentPicture picture;
    picture.Create(whiteAroundTheKey, 5, 1, 1, true);
    BlendAgentPicture(picture, bitmap, -1, 1, 128); // (255 * 128 + 137 * 127) >> 8 = 0xc3
    CopyAgentPicture(picture, bitmap, 0, 2);
    const std::uint16_t red555[] = {0x7C00, 0x7C00}; // the other packing: 5-5-5
    picture.Create(red555, 2, 1, 0, false);
    CopyAgentPicture(picture, bitmap, 2, 0); // its second pixel falls off the right edge
    EXPECT_EQ(Pixels(bitmap), "0a64c8 000002 ff0000/c3b1a3 7f0000 be7f7f");
    // A 16-bit bitmap keeps its own packing: red 10, green 100, blue 200, then
    // tinted 16 redder. It takes no agent picture, which is drawn on 24-bit
    // canvases only.
    const auto packed = [&] { return bitmap.TopRow()[0] | bitmap.TopRow()[1] << 8; };
    for (const auto& [format, filled, tinted] :
         {std::tuple(kDib565, 0x0B39, 0x1B39), std::tuple(kDib555, 0x0599, 0x0D99)}) {
        bitmap.Create(1, 1, format);
        bitmap.FillRect(0, 0, 1, 1, 0x00C8640A);
        CopyAgentPicture(picture, bitmap, 0, 0);
        EXPECT_EQ(packed(), filled) << format;
        bitmap.Tint(0, 0, 1, 1, 0x00808090);
        EXPECT_EQ(packed(), tinted) << format;
    }
    Load(bitmap,
         BitmapFile{.width = 2, .height = 1, .bitCount = 32, .pixels = {1, 2, 3, 4, 5, 6, 7, 8}}
             .Build());
    EXPECT_EQ(bitmap.AsImage().pixel(1, 0), 0xFF070605u);
    EXPECT_EQ(CaughtMessage([&] { bitmap.Create(4, 4, kDib32); }),
              "Internal error - CreateDIBSection() failed");
}

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
            std::ranges::generate(pixels, [&] {
                return random() % 3 == 0 ? key : static_cast<std::uint16_t>(random());
            });
            std::ranges::generate(expected, [&] { return static_cast<std::uint8_t>(random()); });
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
