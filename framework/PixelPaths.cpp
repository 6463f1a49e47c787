#include "framework/PixelRowKernels.h"

#include <array>

namespace {

bool Always() {
    return true;
}

void PlainCopy(const PixelRows& rows) {
    pixel_kernels::Copy(rows);
}
void PlainBlend(const PixelRows& rows, int opacity) {
    pixel_kernels::Blend(rows, opacity);
}

bool HasAvx2() {
    return __builtin_cpu_supports("avx2");
}
[[gnu::target("avx2")]] void Avx2Copy(const PixelRows& rows) {
    pixel_kernels::Copy(rows);
}
[[gnu::target("avx2")]] void Avx2Blend(const PixelRows& rows, int opacity) {
    pixel_kernels::Blend(rows, opacity);
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
