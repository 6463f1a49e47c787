#pragma once

#include <cstdint>
#include <memory>
#include <span>

class QPainter;
class QImage;

// Pixel format codes of a CDibBitmap. Codes 1 to 3 are the palette formats
// (1, 4 and 8 bits), which the loader refuses.
enum DibFormat : std::uint32_t {
    kDibUnknown = 0,
    kDib555 = 4,
    kDib565 = 5,
    kDib24 = 6,
    kDib32 = 7,
};

class DibSection; // the pixel memory; framework/DibBitmap.cpp

// A device-independent bitmap whose pixels the program reads and writes
// directly, row-aligned as the Windows format lays them out, and which Qt can
// show. Errors are CKitException.
class CDibBitmap {
public:
    CDibBitmap();
    ~CDibBitmap();
    CDibBitmap(const CDibBitmap&) = delete;
    CDibBitmap& operator=(const CDibBitmap&) = delete;

    void LoadFromFile(const char* path);
    // Loads from bytes already in memory (resources, tests, fuzzing); `name`
    // fills the messages' path.
    void LoadFromMemory(const void* data, std::size_t size, const char* name);
    void Create(int width, int height, DibFormat format);
    bool IsValid() const;
    void Free();
    void Draw(QPainter& target, int destX, int destY, int srcX = 0, int srcY = 0, int width = -1,
              int height = -1) const;
    void FillRect(int x, int y, int width, int height, std::uint32_t colour);
    void Tint(int x, int y, int width, int height, std::uint32_t colour);

    int Width() const;
    int Height() const; // absolute value of the header's height
    DibFormat Format() const { return m_format; }
    std::uint32_t BytesPerPixel() const { return m_bytesPerPixel; }
    // From a row's first byte to the next row's below it: negative for a
    // bitmap stored bottom row first.
    std::int32_t Stride() const { return m_stride; }
    // The top row's first byte, for drawing straight into the pixels.
    std::uint8_t* TopRow() { return m_topRow; }
    const std::uint8_t* TopRow() const { return m_topRow; }
    // The pixel memory as stored, every row with its padding; empty when the
    // bitmap is not valid.
    std::span<const std::uint8_t> PixelMemory() const;
    // The size of the info header the pixels are described by.
    std::uint32_t InfoHeaderSize() const { return m_infoSize; }

    // A view of the pixels for Qt without copying where the format allows.
    QImage AsImage() const;

private:
    void SetupLayout();
    // The pixel memory as a QImage without copying, rows in stored order
    // (bottom row first for a bottom-up image); null for formats Qt cannot
    // show.
    QImage StoredRows() const;

    std::uint32_t m_bytesPerPixel = 0;
    std::int32_t m_stride = 0;
    std::uint8_t* m_topRow = nullptr;
    DibFormat m_format = kDibUnknown;
    std::unique_ptr<DibSection> m_hBitmap;
    std::uint8_t* m_bits = nullptr;
    std::unique_ptr<std::uint8_t[]> m_info;
    std::uint32_t m_infoSize = 0;
};

// Clips a picture rectangle against the destination bitmap, adjusting all six
// values in place.
void ClipToBitmap(const CDibBitmap& destination, int& destX, int& destY, int& srcX, int& srcY,
                  int& width, int& height);
