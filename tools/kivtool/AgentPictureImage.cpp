#include "tools/kivtool/AgentPictureImage.h"

#include "agents/AgentFileFormat.h"
#include "core/KitException.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace {

// The picture size an agent chunk can record.
constexpr int kMaxPictureSide = 65535;
// Preferred for the transparent colour of pictures with an alpha channel:
// authors rarely paint with it.
constexpr std::uint16_t kPreferredKeyColour = 0xF81F;
constexpr std::size_t kColourCount = 1 << 16;

std::uint16_t To565(QRgb colour) {
    return static_cast<std::uint16_t>(((qRed(colour) >> 3) << 11) | ((qGreen(colour) >> 2) << 5) |
                                      (qBlue(colour) >> 3));
}

// The first colour from the preferred one on that no opaque pixel has.
std::uint16_t FreeKeyColour(const QImage& image, const std::string& name) {
    std::vector<bool> used(kColourCount);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                used[To565(row[x])] = true;
            }
        }
    }
    for (std::size_t i = 0; i < kColourCount; ++i) {
        const auto colour = static_cast<std::uint16_t>(kPreferredKeyColour + i);
        if (!used[colour]) {
            return colour;
        }
    }
    ThrowString("%s: every 5-6-5 colour is painted, none is left to be the transparent one",
                name.c_str());
}

bool HasTransparentPixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(row, row + image.width(),
                        [](QRgb colour) { return qAlpha(colour) == 0; })) {
            return true;
        }
    }
    return false;
}

// An agent's picture takes the colour of its top-left pixel as transparent. A
// picture with fully transparent pixels (a PNG's or a 32-bit bitmap's alpha)
// gets a colour no opaque pixel has in all of them, which needs its top-left
// pixel to be one of them; partly transparent pixels count as opaque.
std::uint16_t KeyColour(const QImage& image, const std::string& name) {
    if (!HasTransparentPixel(image)) {
        return To565(image.pixel(0, 0));
    }
    if (qAlpha(image.pixel(0, 0)) != 0) {
        ThrowString("%s: the top-left pixel must be fully transparent, as an agent's picture "
                    "takes its colour for the transparent one",
                    name.c_str());
    }
    return FreeKeyColour(image, name);
}

} // namespace

void LoadPicture(CAgentPicture& picture, std::span<const std::uint8_t> bytes,
                 const std::string& name) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    QImage image = reader.read();
    if (image.isNull()) {
        ThrowString("%s: %s", name.c_str(), reader.errorString().toStdString().c_str());
    }
    if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) {
        ThrowString("%s: the picture must be at most 65535 x 65535 pixels", name.c_str());
    }
    image.convertTo(QImage::Format_ARGB32);
    const std::uint16_t key = KeyColour(image, name);
    std::vector<std::uint16_t> pixels;
    pixels.reserve(static_cast<std::size_t>(image.width()) *
                   static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            pixels.push_back(qAlpha(row[x]) == 0 ? key : To565(row[x]));
        }
    }
    picture.Create(pixels.data(), static_cast<std::uint32_t>(image.width()),
                   static_cast<std::uint32_t>(image.height()), AgentFileFormat::kPicturePixelFormat,
                   true);
}

namespace {

// A 5-6-5 channel widened to 8 bits with its high bits repeated below, so that
// keeping the high bits again gives the channel back.
int Widen(int value, int bits) {
    return value << (8 - bits) | value >> (2 * bits - 8);
}

} // namespace

std::vector<std::uint8_t> PictureAsPng(const CAgentPicture& picture) {
    QImage image(static_cast<int>(picture.Width()), static_cast<int>(picture.Height()),
                 QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::uint16_t pixel = picture.Pixels()[std::size_t(y) * picture.Width() + x];
            row[x] =
                qRgb(Widen(pixel >> 11, 5), Widen(pixel >> 5 & 0x3F, 6), Widen(pixel & 0x1F, 5));
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {png.begin(), png.end()};
}
