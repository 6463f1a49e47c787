// Bitmap files of any content: loading never crashes or touches memory outside
// the image, and whatever loads can be filled, tinted and shown.
#include "core/KitException.h"
#include "framework/DibBitmap.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CDibBitmap bitmap;
    try {
        bitmap.LoadFromMemory(data, size, "fuzz.bmp");
    } catch (const CKitException&) {
        return 0;
    }
    bitmap.Tint(-1, -1, bitmap.Width() + 2, bitmap.Height() + 2, 0x2080E0);
    bitmap.FillRect(1, 1, bitmap.Width(), 1, 0xFFFFFF);
    if (bitmap.AsImage().isNull() && bitmap.Format() != kDibUnknown) {
        std::abort(); // every loadable known format can be shown
    }
    return 0;
}
