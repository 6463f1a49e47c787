#include "framework/DibBitmap.h"

#include "core/KitException.h"
#include "core/StringTable.h"
#include "framework/DibInfoHeader.h"
#include "framework/DibSection.h"
#include "framework/ExpandTables.h"
#include "platform/ByteReader.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <vector>

namespace {

constexpr std::uint16_t kBitmapFileType = 0x4D42; // "BM"
constexpr std::uint32_t kFileHeaderSize = 14;

// A header block holds the information header and at most a colour table of
// 256 entries or three masks; real files stay far below this. Larger pixel-data
// offsets are refused, which also bounds what a file read must take in.
constexpr std::uint32_t kMaxHeaderBlockSize = 64 * 1024;
constexpr std::uint64_t kMaxUsefulFileSize =
    kFileHeaderSize + kMaxHeaderBlockSize + DibSection::kMaxPixelBytes;

constexpr std::array<std::uint32_t, 3> kMasks555 = {0x7C00, 0x03E0, 0x001F};
constexpr std::array<std::uint32_t, 3> kMasks565 = {0xF800, 0x07E0, 0x001F};

constexpr std::uint8_t kMiddleGrey = 128;

[[noreturn]] void ThrowReadError(const char* name) {
    ThrowStringId(IDS_ERROR_READING_FILE, name);
}

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

Rgb FromColour(std::uint32_t colour) {
    return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

// Narrows by dropping the low bits of each component.
std::uint16_t Pack16(DibFormat format, const Rgb& c) {
    if (format == kDib565) {
        return static_cast<std::uint16_t>((c.red & 0xF8) << 8 | (c.green & 0xFC) << 3 |
                                          c.blue >> 3);
    }
    return static_cast<std::uint16_t>((c.red & 0xF8) << 7 | (c.green & 0xF8) << 2 | c.blue >> 3);
}

Rgb Unpack16(DibFormat format, std::uint16_t p) {
    const auto& t = kExpandTables;
    if (format == kDib565) {
        return {t.t5[p >> 11], t.t6[(p >> 5) & 63], t.t5[p & 31]};
    }
    return {t.t5[(p >> 10) & 31], t.t5[(p >> 5) & 31], t.t5[p & 31]};
}

std::uint16_t Load16(const std::uint8_t* pixel) {
    return static_cast<std::uint16_t>(pixel[0] | pixel[1] << 8);
}

int ClampComponent(int value) {
    return std::clamp(value, 0, 255);
}

// Clips one axis of a rectangle to 0..limit; false when nothing is left.
bool ClipAxis(int& start, int& length, int limit) {
    std::int64_t s = start;
    std::int64_t l = length;
    if (s < 0) {
        l += s;
        s = 0;
    }
    if (s + l > limit) {
        l = limit - s;
    }
    if (l < 1) {
        return false;
    }
    start = static_cast<int>(s);
    length = static_cast<int>(l);
    return true;
}

std::vector<std::uint8_t> ReadBitmapFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ThrowReadError(path);
    }
    in.seekg(0, std::ios::end);
    const auto length = static_cast<std::uint64_t>(std::max<std::streamoff>(in.tellg(), 0));
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(std::min(length, kMaxUsefulFileSize)));
    } catch (const std::bad_alloc&) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(in.gcount()) != bytes.size()) {
        ThrowReadError(path);
    }
    return bytes;
}

struct LoadedBitmap {
    std::unique_ptr<std::uint8_t[]> info;
    std::uint32_t infoSize = 0;
    std::unique_ptr<DibSection> section;
};

// Reads file header, header block and pixel data; everything it refuses is
// the read error with `name`, except the two failures of making memory.
LoadedBitmap ParseBitmap(CByteReader& reader, const char* name) {
    const auto type = reader.U16();
    const bool skipped = reader.Skip(8); // file size and reserved words, not needed
    const auto pixelOffset = reader.U32();
    if (!type || !skipped || !pixelOffset || *type != kBitmapFileType) {
        ThrowReadError(name);
    }
    // An offset below 54 leaves no room for the 40-byte header whose fields
    // decide the layout, so such a file is not usable.
    if (*pixelOffset < kFileHeaderSize + DibInfoHeader::kSize ||
        *pixelOffset - kFileHeaderSize > kMaxHeaderBlockSize) {
        ThrowReadError(name);
    }
    LoadedBitmap loaded;
    loaded.infoSize = *pixelOffset - kFileHeaderSize;
    const auto block = reader.Bytes(loaded.infoSize);
    if (!block) {
        ThrowReadError(name);
    }
    loaded.info.reset(new (std::nothrow) std::uint8_t[loaded.infoSize]);
    if (!loaded.info) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
    std::memcpy(loaded.info.get(), block->data(), loaded.infoSize);

    const auto header = ReadDibInfoHeader(*block);
    if (header->size < DibInfoHeader::kSize || header->bitCount <= 8 ||
        (header->compression != DibInfoHeader::kCompressionNone &&
         header->compression != DibInfoHeader::kCompressionBitFields)) {
        ThrowReadError(name);
    }
    loaded.section = DibSection::Create(*header);
    if (!loaded.section) {
        ThrowString("Internal error: CreateDibSection() failed");
    }
    // Pixel data beyond the image's own size is not read: it has no place in
    // the section's memory.
    const auto pixels = reader.Bytes(loaded.section->Size());
    if (!pixels) {
        ThrowReadError(name);
    }
    std::memcpy(loaded.section->Bits(), pixels->data(), pixels->size());
    return loaded;
}

} // namespace

QImage CDibBitmap::StoredRows() const {
    if (!IsValid()) {
        return {};
    }
    QImage::Format format = QImage::Format_Invalid;
    switch (m_format) {
    case kDib555:
        format = QImage::Format_RGB555;
        break;
    case kDib565:
        format = QImage::Format_RGB16;
        break;
    case kDib24:
        format = QImage::Format_BGR888;
        break;
    case kDib32:
        format = QImage::Format_RGB32;
        break;
    default:
        return {};
    }
    return QImage(m_bits, Width(), Height(), std::abs(m_stride), format);
}

std::span<const std::uint8_t> CDibBitmap::PixelMemory() const {
    if (!IsValid()) {
        return {};
    }
    return {m_bits,
            static_cast<std::size_t>(std::abs(m_stride)) * static_cast<std::size_t>(Height())};
}

CDibBitmap::CDibBitmap() = default;
CDibBitmap::~CDibBitmap() = default;

void CDibBitmap::LoadFromFile(const char* path) {
    Free();
    const auto bytes = ReadBitmapFile(path);
    LoadFromMemory(bytes.data(), bytes.size(), path);
}

void CDibBitmap::LoadFromMemory(const void* data, std::size_t size, const char* name) {
    Free();
    CByteReader reader(data, size);
    LoadedBitmap loaded = ParseBitmap(reader, name);
    m_info = std::move(loaded.info);
    m_infoSize = loaded.infoSize;
    m_hBitmap = std::move(loaded.section);
    m_bits = m_hBitmap->Bits();
    SetupLayout();
}

void CDibBitmap::Create(int width, int height, DibFormat format) {
    Free();
    const bool sixteenBit = format == kDib555 || format == kDib565;
    if (width < 1 || height < 1 || (!sixteenBit && format != kDib24)) {
        // Only the formats the program draws into can be made.
        ThrowString("Internal error - CreateDIBSection() failed");
    }
    DibInfoHeader header;
    header.size = DibInfoHeader::kSize;
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = sixteenBit ? 16 : 24;
    header.compression =
        sixteenBit ? DibInfoHeader::kCompressionBitFields : DibInfoHeader::kCompressionNone;
    header.imageSize = static_cast<std::uint32_t>(static_cast<std::uint64_t>(width) * height *
                                                  (header.bitCount / 8));
    const std::uint32_t infoSize =
        DibInfoHeader::kSize + (sixteenBit ? DibInfoHeader::kMasksSize : 0);
    std::unique_ptr<std::uint8_t[]> info(new (std::nothrow) std::uint8_t[infoSize]);
    if (!info) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
    StoreDibInfoHeader(info.get(), header);
    if (sixteenBit) {
        const auto& masks = format == kDib565 ? kMasks565 : kMasks555;
        for (std::size_t i = 0; i < masks.size(); ++i) {
            StoreU32(info.get() + DibInfoHeader::kSize + 4 * i, masks[i]);
        }
    }
    auto section = DibSection::Create(header);
    if (!section) {
        ThrowString("Internal error - CreateDIBSection() failed");
    }
    m_info = std::move(info);
    m_infoSize = infoSize;
    m_hBitmap = std::move(section);
    m_bits = m_hBitmap->Bits();
    SetupLayout();
    FillRect(0, 0, Width(), Height(), 0);
}

bool CDibBitmap::IsValid() const {
    return m_info != nullptr && m_hBitmap != nullptr;
}

void CDibBitmap::Free() {
    m_info.reset();
    m_infoSize = 0;
    m_hBitmap.reset();
    m_bits = nullptr;
    m_topRow = nullptr;
    m_format = kDibUnknown;
    m_stride = 0;
    m_bytesPerPixel = 0;
}

int CDibBitmap::Width() const {
    const auto header = ReadDibInfoHeader({m_info.get(), m_infoSize});
    return header ? header->width : 0;
}

int CDibBitmap::Height() const {
    const auto header = ReadDibInfoHeader({m_info.get(), m_infoSize});
    return header ? static_cast<int>(std::min<std::int64_t>(
                        header->height < 0 ? -std::int64_t{header->height} : header->height,
                        INT32_MAX))
                  : 0;
}

void CDibBitmap::SetupLayout() {
    const std::span<const std::uint8_t> block(m_info.get(), m_infoSize);
    const auto header = ReadDibInfoHeader(block);
    if (!header) {
        return;
    }
    switch (header->bitCount) {
    case 16: {
        // Without bit fields a 16-bit image is 5-5-5, the format's default.
        const auto masks = header->compression == DibInfoHeader::kCompressionBitFields
                               ? ReadDibMasks(block)
                               : std::optional(kMasks555);
        m_format = masks == kMasks555 ? kDib555 : masks == kMasks565 ? kDib565 : kDibUnknown;
        m_bytesPerPixel = 2;
        break;
    }
    case 24:
        m_format = kDib24;
        m_bytesPerPixel = 3;
        break;
    case 32:
        m_format = kDib32;
        m_bytesPerPixel = 4;
        break;
    default:
        m_format = kDibUnknown;
        m_bytesPerPixel = 0;
        break;
    }
    const auto rowSize = static_cast<std::int32_t>(
        (static_cast<std::int64_t>(Width()) * m_bytesPerPixel + 3) / 4 * 4);
    if (header->height >= 1) {
        m_topRow = m_bits + static_cast<std::ptrdiff_t>(header->height - 1) * rowSize;
        m_stride = -rowSize;
    } else {
        m_topRow = m_bits;
        m_stride = rowSize;
    }
}

void CDibBitmap::FillRect(int x, int y, int width, int height, std::uint32_t colour) {
    if (!IsValid() || !ClipAxis(x, width, Width()) || !ClipAxis(y, height, Height())) {
        return;
    }
    const Rgb c = FromColour(colour);
    if (m_format == kDib24) {
        const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(c.blue),
                                       static_cast<std::uint8_t>(c.green),
                                       static_cast<std::uint8_t>(c.red)};
        for (int row = 0; row < height; ++row) {
            std::uint8_t* out = m_topRow + std::ptrdiff_t{y + row} * m_stride + x * 3;
            for (int column = 0; column < width; ++column, out += 3) {
                std::memcpy(out, pixel, 3);
            }
        }
    } else if (m_format == kDib555 || m_format == kDib565) {
        const std::uint16_t value = Pack16(m_format, c);
        const std::uint8_t pixel[2] = {static_cast<std::uint8_t>(value),
                                       static_cast<std::uint8_t>(value >> 8)};
        for (int row = 0; row < height; ++row) {
            std::uint8_t* out = m_topRow + std::ptrdiff_t{y + row} * m_stride + x * 2;
            for (int column = 0; column < width; ++column, out += 2) {
                std::memcpy(out, pixel, 2);
            }
        }
    }
    // Other formats are never filled by the program and are left untouched.
}

void CDibBitmap::Tint(int x, int y, int width, int height, std::uint32_t colour) {
    if (!IsValid() || !ClipAxis(x, width, Width()) || !ClipAxis(y, height, Height())) {
        return;
    }
    const Rgb c = FromColour(colour);
    const Rgb shift{c.red - kMiddleGrey, c.green - kMiddleGrey, c.blue - kMiddleGrey};
    const auto shifted = [&shift](const Rgb& p) {
        return Rgb{ClampComponent(p.red + shift.red), ClampComponent(p.green + shift.green),
                   ClampComponent(p.blue + shift.blue)};
    };
    for (int row = 0; row < height; ++row) {
        std::uint8_t* out = m_topRow + std::ptrdiff_t{y + row} * m_stride + x * m_bytesPerPixel;
        for (int column = 0; column < width; ++column, out += m_bytesPerPixel) {
            if (m_format == kDib24) {
                const Rgb p = shifted({out[2], out[1], out[0]});
                out[0] = static_cast<std::uint8_t>(p.blue);
                out[1] = static_cast<std::uint8_t>(p.green);
                out[2] = static_cast<std::uint8_t>(p.red);
            } else if (m_format == kDib555 || m_format == kDib565) {
                // Widened through the expansion tables, narrowed again by
                // dropping low bits, so middle grey leaves every pixel as it was.
                const std::uint16_t p = Pack16(m_format, shifted(Unpack16(m_format, Load16(out))));
                out[0] = static_cast<std::uint8_t>(p);
                out[1] = static_cast<std::uint8_t>(p >> 8);
            } else {
                return; // other formats are never tinted by the program
            }
        }
    }
}

void CDibBitmap::Draw(QPainter& target, int destX, int destY, int srcX, int srcY, int width,
                      int height) const {
    const QImage stored = StoredRows();
    if (stored.isNull()) {
        return;
    }
    const int w = width == -1 ? Width() : width;
    const int h = height == -1 ? Height() : height;
    target.save();
    target.setCompositionMode(QPainter::CompositionMode_Source);
    QRect source(srcX, srcY, w, h);
    if (m_stride < 0) {
        // The rows are stored bottom first: draw them mirrored, without a copy.
        target.translate(destX, destY + h);
        target.scale(1, -1);
        source.moveTop(Height() - srcY - h);
        destX = 0;
        destY = 0;
    }
    target.drawImage(QPoint(destX, destY), stored, source);
    target.restore();
}

QImage CDibBitmap::AsImage() const {
    const QImage stored = StoredRows();
    // QImage cannot walk rows upwards (no negative stride), so a bottom-up
    // image is handed over as a flipped copy; a top-down one as a view.
    return m_stride < 0 ? stored.mirrored(false, true) : stored;
}

void ClipToBitmap(const CDibBitmap& destination, int& destX, int& destY, int& srcX, int& srcY,
                  int& width, int& height) {
    const auto clip = [](int& dest, int& src, int& length, int limit) {
        std::int64_t d = dest;
        std::int64_t s = src;
        std::int64_t l = length;
        if (d < 0) {
            s -= d;
            l += d;
            d = 0;
        }
        if (d + l > limit) {
            l = limit - d;
        }
        if (l < 1) {
            l = 0;
        }
        dest = static_cast<int>(std::min<std::int64_t>(d, INT32_MAX));
        src = static_cast<int>(std::clamp<std::int64_t>(s, INT32_MIN, INT32_MAX));
        length = static_cast<int>(l);
    };
    clip(destX, srcX, width, destination.Width());
    clip(destY, srcY, height, destination.Height());
}
