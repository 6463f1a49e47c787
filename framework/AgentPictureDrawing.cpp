#include "agents/AgentFile.h"
#include "framework/DibBitmap.h"
#include "framework/ExpandTables.h"

namespace {

template <bool kIs565> void Expand(std::uint16_t p, std::uint8_t* out) {
    const auto& t = kExpandTables;
    out[0] = t.t5[p & 31];
    if constexpr (kIs565) {
        out[1] = t.t6[(p >> 5) & 63];
        out[2] = t.t5[p >> 11];
    } else {
        out[1] = t.t5[(p >> 5) & 31];
        out[2] = t.t5[(p >> 10) & 31];
    }
}

// One visible row: `pixels` and `mask` at its first source pixel, `out` at its
// first destination pixel.
struct Row {
    const std::uint16_t* pixels;
    const std::uint8_t* mask; // nullptr: every pixel opaque
    std::uint8_t* out;
    int width;
};

template <bool kIs565> void CopyRow(const Row& row) {
    std::uint8_t* out = row.out;
    for (int column = 0; column < row.width; ++column, out += 3) {
        Expand<kIs565>(row.pixels[column], out);
    }
}

template <bool kIs565> void BlendRow(const Row& row, int opacity) {
    std::uint8_t* out = row.out;
    for (int column = 0; column < row.width; ++column, out += 3) {
        // A picture made without a mask has no transparent pixels.
        if (row.mask != nullptr && row.mask[column] == 0) {
            continue;
        }
        std::uint8_t source[3];
        Expand<kIs565>(row.pixels[column], source);
        for (int i = 0; i < 3; ++i) {
            out[i] =
                static_cast<std::uint8_t>((source[i] * opacity + out[i] * (255 - opacity)) >> 8);
        }
    }
}

// Calls drawRow for every row of the picture that falls inside the 24-bit
// destination, clipped to it.
template <typename DrawRow>
void ForEachVisibleRow(const CAgentPicture& picture, CDibBitmap& destination, int x, int y,
                       DrawRow drawRow) {
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
        const std::size_t source = std::size_t(srcY + row) * picture.m_width + std::size_t(srcX);
        drawRow(Row{picture.m_pixels.get() + source,
                    picture.m_mask != nullptr ? picture.m_mask.get() + source : nullptr,
                    destination.m_topRow + std::ptrdiff_t{y + row} * destination.m_stride +
                        std::ptrdiff_t{x} * 3,
                    width});
    }
}

} // namespace

void CAgentPicture::BlendInto(CDibBitmap& destination, int x, int y, int opacity) const {
    const int a = opacity & 255;
    const bool is565 = m_pixelFormat == 1;
    ForEachVisibleRow(*this, destination, x, y, [a, is565](const Row& row) {
        is565 ? BlendRow<true>(row, a) : BlendRow<false>(row, a);
    });
}

void CAgentPicture::CopyInto(CDibBitmap& destination, int x, int y) const {
    const bool is565 = m_pixelFormat == 1;
    ForEachVisibleRow(*this, destination, x, y, [is565](const Row& row) {
        is565 ? CopyRow<true>(row) : CopyRow<false>(row);
    });
}
