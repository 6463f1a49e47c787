#include "ui/AgentPictureDrawing.h"

#include "agents/AgentFile.h"
#include "framework/DibBitmap.h"
#include "framework/PixelRows.h"

#include <optional>

namespace {

// The part of the picture that falls inside the 24-bit destination, clipped
// to it; nothing when no pixel does.
std::optional<PixelRows> VisibleRows(const CAgentPicture& picture, CDibBitmap& destination, int x,
                                     int y) {
    if (!picture.HasPicture() || destination.Format() != kDib24 || !destination.IsValid()) {
        return std::nullopt;
    }
    int srcX = 0;
    int srcY = 0;
    int width = static_cast<int>(picture.Width());
    int height = static_cast<int>(picture.Height());
    ClipToBitmap(destination, x, y, srcX, srcY, width, height);
    if (width < 1 || height < 1) {
        return std::nullopt;
    }
    const std::size_t first = std::size_t(srcY) * picture.Width() + std::size_t(srcX);
    return PixelRows{
        picture.Pixels() + first,
        picture.Width(),
        destination.TopRow() + std::ptrdiff_t{y} * destination.Stride() + std::ptrdiff_t{x} * 3,
        destination.Stride(),
        width,
        height,
        picture.PixelFormat() == 1,
        picture.IsKeyed(),
        picture.Pixels()[0],
    };
}

} // namespace

void BlendAgentPicture(const CAgentPicture& picture, CDibBitmap& destination, int x, int y,
                       int opacity) {
    if (const auto rows = VisibleRows(picture, destination, x, y)) {
        ChosenPixelPath().blend(*rows, opacity & 255);
    }
}

void CopyAgentPicture(const CAgentPicture& picture, CDibBitmap& destination, int x, int y) {
    if (const auto rows = VisibleRows(picture, destination, x, y)) {
        ChosenPixelPath().copy(*rows);
    }
}
