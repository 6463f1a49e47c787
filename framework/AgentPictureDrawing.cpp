#include "agents/AgentFile.h"
#include "framework/DibBitmap.h"
#include "framework/ExpandTables.h"

namespace {

struct Bgr {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

Bgr Expand(std::uint16_t p, bool is565) {
    const auto& t = kExpandTables;
    if (is565) {
        return {t.t5[p & 31], t.t6[(p >> 5) & 63], t.t5[p >> 11]};
    }
    return {t.t5[p & 31], t.t5[(p >> 5) & 31], t.t5[(p >> 10) & 31]};
}

// Calls draw(destination pixel, source index) for every pixel of the picture
// that falls inside the 24-bit destination.
template <typename DrawPixel>
void ForEachVisiblePixel(const CAgentPicture& picture, CDibBitmap& destination, int x, int y,
                         DrawPixel draw) {
    if (picture.m_pixels == nullptr || destination.m_format != kDib24 || !destination.IsValid()) {
        return;
    }
    int srcX = 0;
    int srcY = 0;
    int width = static_cast<int>(picture.m_width);
    int height = static_cast<int>(picture.m_height);
    ClipToBitmap(destination, x, y, srcX, srcY, width, height);
    if (width < 1 || height < 1) {
        return;
    }
    for (int row = 0; row < height; ++row) {
        std::uint8_t* out = destination.m_topRow + std::ptrdiff_t{y + row} * destination.m_stride +
                            std::ptrdiff_t{x} * 3;
        const std::size_t source = std::size_t(srcY + row) * picture.m_width + std::size_t(srcX);
        for (int column = 0; column < width; ++column, out += 3) {
            draw(out, source + static_cast<std::size_t>(column));
        }
    }
}

} // namespace

void CAgentPicture::BlendInto(CDibBitmap& destination, int x, int y, int opacity) const {
    const int a = opacity & 255;
    const bool is565 = m_pixelFormat == 1;
    const auto mix = [a](int source, std::uint8_t old) {
        return static_cast<std::uint8_t>((source * a + old * (255 - a)) >> 8);
    };
    ForEachVisiblePixel(*this, destination, x, y, [&](std::uint8_t* out, std::size_t i) {
        // A picture made without a mask has no transparent pixels.
        if (m_mask != nullptr && m_mask[i] == 0) {
            return;
        }
        const Bgr c = Expand(m_pixels[i], is565);
        out[0] = mix(c.blue, out[0]);
        out[1] = mix(c.green, out[1]);
        out[2] = mix(c.red, out[2]);
    });
}

void CAgentPicture::CopyInto(CDibBitmap& destination, int x, int y) const {
    const bool is565 = m_pixelFormat == 1;
    ForEachVisiblePixel(*this, destination, x, y, [&](std::uint8_t* out, std::size_t i) {
        const Bgr c = Expand(m_pixels[i], is565);
        out[0] = c.blue;
        out[1] = c.green;
        out[2] = c.red;
    });
}
