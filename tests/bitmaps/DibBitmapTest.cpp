#include "framework/DibBitmap.h"
#include "app/KitException.h"
#include "tests/bitmaps/BitmapBytes.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// 0xRRGGBB of pixel (x, y) of a 24-bit bitmap, by the layout's own arithmetic.
std::uint32_t Pixel24(const CDibBitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.m_topRow + y * bitmap.m_stride + x * 3;
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

std::uint16_t Pixel16(const CDibBitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.m_topRow + y * bitmap.m_stride + x * 2;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Two rows of three 24-bit pixels, each row padded to 12 bytes; the stored
// first row holds blue values 1, 2, 3, the second 4, 5, 6.
std::vector<std::uint8_t> TwoRows() {
    return {1, 0, 0, 2, 0, 0, 3, 0, 0, 0, 0, 0, 4, 0, 0, 5, 0, 0, 6, 0, 0, 0, 0, 0};
}

std::string LoadError(CDibBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
    try {
        bitmap.LoadFromMemory(bytes.data(), bytes.size(), "wall.bmp");
    } catch (const CKitException& e) {
        return e.m_message;
    }
    return "no error";
}

class DibBitmapTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("LC_ALL", "C", 1); }
    void TearDown() override { unsetenv("LC_ALL"); }
};

TEST_F(DibBitmapTest, LayoutFollowsTheHeader) {
    BitmapBytes bottomUp;
    bottomUp.pixels = TwoRows();
    CDibBitmap bitmap;
    const auto bytes = bottomUp.Build();
    bitmap.LoadFromMemory(bytes.data(), bytes.size(), "a.bmp");
    EXPECT_TRUE(bitmap.IsValid());
    EXPECT_EQ(bitmap.m_format, kDib24);
    EXPECT_EQ(bitmap.m_bytesPerPixel, 3u);
    EXPECT_EQ(bitmap.m_stride, -12);
    EXPECT_EQ(bitmap.m_topRow, bitmap.m_bits + 12);
    EXPECT_EQ(bitmap.m_infoSize, 40u);
    EXPECT_EQ(Pixel24(bitmap, 0, 0), 4u);
    EXPECT_EQ(Pixel24(bitmap, 2, 1), 3u);
    EXPECT_EQ(bitmap.AsImage().pixel(0, 0), 0xFF000004u);
    EXPECT_EQ(bitmap.AsImage().pixel(2, 1), 0xFF000003u);

    BitmapBytes topDown = bottomUp;
    topDown.height = -2;
    topDown.pixels.resize(40, 0xEE); // data beyond the image is not read
    const auto topDownBytes = topDown.Build();
    bitmap.LoadFromMemory(topDownBytes.data(), topDownBytes.size(), "b.bmp");
    EXPECT_EQ(bitmap.m_stride, 12);
    EXPECT_EQ(bitmap.m_topRow, bitmap.m_bits);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(Pixel24(bitmap, 0, 0), 1u);
    const QImage view = bitmap.AsImage();
    EXPECT_EQ(view.constBits(), bitmap.m_topRow); // a view, not a copy
    EXPECT_EQ(view.pixel(1, 1), 0xFF000005u);

    const struct {
        std::uint32_t compression;
        std::vector<std::uint32_t> masks;
        DibFormat format;
    } sixteenBit[] = {{3, {0xF800, 0x07E0, 0x001F}, kDib565},
                      {3, {0x7C00, 0x03E0, 0x001F}, kDib555},
                      {3, {0x0F00, 0x00F0, 0x000F}, kDibUnknown},
                      {0, {}, kDib555}};
    for (const auto& c : sixteenBit) {
        BitmapBytes file;
        file.bitCount = 16;
        file.compression = c.compression;
        file.masks = c.masks;
        file.pixels.assign(16, 0);
        const auto fileBytes = file.Build();
        CDibBitmap sixteen;
        sixteen.LoadFromMemory(fileBytes.data(), fileBytes.size(), "c.bmp");
        EXPECT_EQ(sixteen.m_format, c.format) << c.masks.size();
        EXPECT_EQ(sixteen.m_stride, -8); // 3 pixels of 2 bytes, padded
        EXPECT_EQ(sixteen.m_bytesPerPixel, 2u);
    }
}

TEST_F(DibBitmapTest, EveryLoadFailureLeavesTheObjectEmpty) {
    BitmapBytes good;
    good.pixels = TwoRows();
    const auto valid = good.Build();
    auto wrongType = valid;
    wrongType[0] = 'X';
    BitmapBytes eightBit = good;
    eightBit.bitCount = 8;
    BitmapBytes compressed = good;
    compressed.compression = 1;
    BitmapBytes smallOffset = good;
    smallOffset.pixelOffset = 53;
    BitmapBytes farOffset = good;
    farOffset.pixelOffset = 4000;
    BitmapBytes oldHeader = good;
    oldHeader.headerSize = 12;
    BitmapBytes shortPixels = good;
    shortPixels.pixels.resize(23);
    BitmapBytes noWidth = good;
    noWidth.width = 0;
    BitmapBytes oddBitCount = good;
    oddBitCount.bitCount = 12;
    BitmapBytes huge = good;
    huge.width = 100000;
    huge.height = -100000;
    const std::string readError = "Error reading from file \"wall.bmp\"";
    const std::string noSection = "Internal error: CreateDibSection() failed";
    const struct {
        std::vector<std::uint8_t> bytes;
        std::string message;
    } cases[] = {
        {{}, readError},
        {std::vector<std::uint8_t>(valid.begin(), valid.begin() + 13), readError},
        {std::vector<std::uint8_t>(valid.begin(), valid.begin() + 40), readError},
        {wrongType, readError},
        {eightBit.Build(), readError},
        {compressed.Build(), readError},
        {smallOffset.Build(), readError},
        {farOffset.Build(), readError},
        {oldHeader.Build(), readError},
        {shortPixels.Build(), readError},
        {noWidth.Build(), noSection},
        {oddBitCount.Build(), noSection},
        {huge.Build(), noSection},
    };
    for (const auto& c : cases) {
        CDibBitmap bitmap;
        bitmap.LoadFromMemory(valid.data(), valid.size(), "first.bmp");
        EXPECT_EQ(LoadError(bitmap, c.bytes), c.message) << c.bytes.size();
        EXPECT_FALSE(bitmap.IsValid());
        EXPECT_EQ(bitmap.m_info, nullptr);
        EXPECT_EQ(bitmap.m_bits, nullptr);
        EXPECT_EQ(bitmap.m_topRow, nullptr);
        EXPECT_EQ(bitmap.m_stride, 0);
        EXPECT_EQ(bitmap.Width(), 0);
    }
}

TEST_F(DibBitmapTest, LoadsFromAFile) {
    const auto dir = std::filesystem::temp_directory_path() / ("sbbmp" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "wallpaper.bmp").string();
    BitmapBytes file;
    file.pixels = TwoRows();
    const auto bytes = file.Build();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    CDibBitmap bitmap;
    bitmap.LoadFromFile(path.c_str());
    EXPECT_EQ(Pixel24(bitmap, 1, 0), 5u);

    const std::string missing = (dir / "none.bmp").string();
    try {
        bitmap.LoadFromFile(missing.c_str());
        ADD_FAILURE() << "a missing file loaded";
    } catch (const CKitException& e) {
        EXPECT_EQ(std::string(e.m_message), "Error reading from file \"" + missing + "\"");
    }
    EXPECT_FALSE(bitmap.IsValid());
    std::filesystem::remove_all(dir);
}

TEST_F(DibBitmapTest, CreateFillAndTint) {
    CDibBitmap bitmap;
    bitmap.Create(10, 5, kDib24);
    EXPECT_EQ(bitmap.m_stride, -32);
    EXPECT_EQ(bitmap.m_format, kDib24);
    EXPECT_EQ(bitmap.m_infoSize, 40u);
    bitmap.FillRect(0, 0, 10, 5, 0x00FFFFFF);
    bitmap.FillRect(-5, -5, 10, 10, 0x00336699); // blue 0x33, green 0x66, red 0x99
    bitmap.FillRect(10, 0, 4, 4, 0);
    bitmap.FillRect(0, -9, 10, 9, 0);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(Pixel24(bitmap, x, y), x < 5 && y < 5 ? 0x996633u : 0xFFFFFFu) << x << y;
        }
    }

    bitmap.Tint(0, 0, 10, 5, 0x808080);
    EXPECT_EQ(Pixel24(bitmap, 0, 0), 0x996633u);
    bitmap.FillRect(1, 1, 1, 1, 0x00C8640A); // red 10, green 100, blue 200
    bitmap.Tint(0, 0, 2, 2, 0x000080FF);     // red 255, green 128, blue 0
    EXPECT_EQ(Pixel24(bitmap, 0, 0), 0xFF6600u);
    EXPECT_EQ(Pixel24(bitmap, 1, 1), 0x896448u); // 10 + 127, 100, 200 - 128
    EXPECT_EQ(Pixel24(bitmap, 2, 2), 0x996633u);
    EXPECT_EQ(Pixel24(bitmap, 5, 0), 0xFFFFFFu);

    CDibBitmap black;
    black.Create(3, 2, kDib24);
    EXPECT_EQ(Pixel24(black, 2, 1), 0u);

    CDibBitmap rgb565;
    rgb565.Create(3, 2, kDib565);
    EXPECT_EQ(rgb565.m_infoSize, 52u);
    EXPECT_EQ(rgb565.m_stride, -8);
    rgb565.FillRect(0, 0, 3, 2, 0x000080FF);
    EXPECT_EQ(Pixel16(rgb565, 2, 1), 0xFC00u);
    rgb565.FillRect(0, 0, 1, 1, 0x00418183); // 16, 32, 8 after narrowing
    EXPECT_EQ(Pixel16(rgb565, 0, 0), 16 << 11 | 32 << 5 | 8);
    rgb565.Tint(0, 0, 3, 2, 0x808080);
    EXPECT_EQ(Pixel16(rgb565, 0, 0), 16 << 11 | 32 << 5 | 8);
    rgb565.Tint(0, 0, 1, 1, 0x000080FF);
    EXPECT_EQ(Pixel16(rgb565, 0, 0), 31 << 11 | 32 << 5 | 0);

    CDibBitmap rgb555;
    rgb555.Create(2, 2, kDib555);
    rgb555.FillRect(0, 0, 2, 2, 0x000080FF);
    EXPECT_EQ(Pixel16(rgb555, 1, 1), 0x7E00u);
    EXPECT_EQ(rgb555.AsImage().pixel(1, 1), 0xFFFF8400u);

    try {
        CDibBitmap wrong;
        wrong.Create(4, 4, kDib32);
        ADD_FAILURE() << "made a format the program never draws into";
    } catch (const CKitException& e) {
        EXPECT_STREQ(e.m_message, "Internal error - CreateDIBSection() failed");
    }
}

TEST_F(DibBitmapTest, OtherFormatsAreNotFilledOrTinted) {
    BitmapBytes file;
    file.bitCount = 32;
    file.width = 2;
    file.height = 1;
    file.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    const auto bytes = file.Build();
    CDibBitmap bitmap;
    bitmap.LoadFromMemory(bytes.data(), bytes.size(), "d.bmp");
    EXPECT_EQ(bitmap.m_format, kDib32);
    bitmap.FillRect(0, 0, 2, 1, 0xFFFFFF);
    bitmap.Tint(0, 0, 2, 1, 0xFFFFFF);
    EXPECT_EQ(std::vector<std::uint8_t>(bitmap.m_bits, bitmap.m_bits + 8), file.pixels);
    EXPECT_EQ(bitmap.AsImage().pixel(1, 0), 0xFF070605u);
}

TEST_F(DibBitmapTest, DrawCopiesPixelForPixel) {
    CDibBitmap bitmap;
    bitmap.Create(4, 3, kDib24);
    bitmap.FillRect(0, 0, 2, 1, 0x0000FF); // red, top left
    bitmap.FillRect(3, 2, 1, 1, 0xFF0000); // blue, bottom right
    QImage target(8, 6, QImage::Format_RGB32);
    target.fill(0xFF00FF00);
    {
        QPainter painter(&target);
        bitmap.Draw(painter, 2, 1);
        bitmap.Draw(painter, 0, 5, 2, 2, 2, 1); // source (2,2): black, then blue
    }
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            QRgb expected = 0xFF00FF00;
            if (x >= 2 && x < 6 && y >= 1 && y < 4) {
                const int bx = x - 2;
                const int by = y - 1;
                expected = by == 0 && bx < 2    ? 0xFFFF0000
                           : bx == 3 && by == 2 ? 0xFF0000FF
                                                : 0xFF000000;
            } else if (y == 5 && x < 2) {
                expected = x == 0 ? 0xFF000000 : 0xFF0000FF;
            }
            EXPECT_EQ(target.pixel(x, y), expected) << x << "," << y;
        }
    }
}

} // namespace
