#include "ui/widgets/CanvasText.h"

#include "framework/DibBitmap.h"

#include <QImage>
#include <QPainter>

namespace {

constexpr int kOpaque = 255;

// The text is drawn onto a transparent layer first; its white, smoothed
// letters are then laid over the canvas pixels with their coverage.
QImage TextLayer(int width, int height, const QString& text, const QFont& font) {
    QImage layer(width, height, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, width, height),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
    return layer;
}

void LayOver(CDibBitmap& canvas, const QImage& layer) {
    for (int y = 0; y < layer.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        std::uint8_t* row = canvas.TopRow() + static_cast<std::ptrdiff_t>(y) * canvas.Stride();
        for (int x = 0; x < layer.width(); ++x) {
            const int coverage = qAlpha(source[x]);
            if (coverage == 0) {
                continue;
            }
            std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * 3;
            // Premultiplied white carries its coverage in every component.
            for (int component = 0; component < 3; ++component) {
                pixel[component] = static_cast<std::uint8_t>(
                    coverage + pixel[component] * (kOpaque - coverage) / kOpaque);
            }
        }
    }
}

} // namespace

void DrawTopCentredText(CDibBitmap& canvas, const QString& text, const QFont& font) {
    if (!canvas.IsValid() || canvas.Format() != kDib24) {
        return;
    }
    LayOver(canvas, TextLayer(canvas.Width(), canvas.Height(), text, font));
}
