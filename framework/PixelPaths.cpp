#include "framework/PixelRowKernels.h"
#include "framework/PixelRowsAvx2.h"

#include <array>

namespace {

bool Always() {
    return true;
}

void PlainCopy(const PixelRows& rows) {
    pixel_kernels::Copy<pixel_kernels::Plain>(rows);
}

void PlainBlend(const PixelRows& rows, int opacity) {
    pixel_kernels::Blend<pixel_kernels::Plain>(rows, opacity);
}

constexpr std::array kPaths{
    PixelPath{"plain", Always, PlainCopy, PlainBlend},
    PixelPath{"avx2", HasAvx2, Avx2Copy, Avx2Blend},
};

} // namespace

std::span<const PixelPath> PixelPaths() {
    return kPaths;
}

const PixelPath& ChosenPixelPath() {
    static const PixelPath& chosen = []() -> const PixelPath& {
        for (auto path = kPaths.rbegin(); path != kPaths.rend(); ++path) {
            if (path->supported()) {
                return *path;
            }
        }
        return kPaths.front();
    }();
    return chosen;
}
