#include "analysis/widgets/ImageStrip.h"

#include "core/KitException.h"
#include "framework/DibBitmap.h"
#include "res/EmbeddedResources.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

namespace {

constexpr int kPictureSize = 16;

} // namespace

std::vector<QIcon> LoadImageStrip(const char* resourceName, QColor transparent) {
    const auto bytes = FindEmbeddedResource(resourceName);
    if (!bytes) {
        return {};
    }
    CDibBitmap strip;
    try {
        strip.LoadFromMemory(bytes->data(), bytes->size(), resourceName);
    } catch (const CKitException&) {
        return {};
    }
    const QImage image = strip.AsImage().convertToFormat(QImage::Format_RGB32);
    std::vector<QIcon> pictures;
    for (int x = 0; x + kPictureSize <= image.width(); x += kPictureSize) {
        const QImage picture = image.copy(x, 0, kPictureSize, kPictureSize);
        QPixmap pixmap = QPixmap::fromImage(picture);
        pixmap.setMask(
            QBitmap::fromImage(picture.createMaskFromColor(transparent.rgb(), Qt::MaskInColor)));
        pictures.emplace_back(pixmap);
    }
    return pictures;
}
