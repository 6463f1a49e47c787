#include "framework/DibSection.h"

#include <new>

namespace {

bool IsSectionBitCount(std::uint16_t bitCount) {
    return bitCount == 16 || bitCount == 24 || bitCount == 32;
}

} // namespace

std::unique_ptr<DibSection> DibSection::Create(const DibInfoHeader& header) {
    if (header.width < 1 || header.height == 0 || !IsSectionBitCount(header.bitCount)) {
        return nullptr;
    }
    const auto width = static_cast<std::uint64_t>(header.width);
    const auto rows = static_cast<std::uint64_t>(header.height < 0 ? -std::int64_t{header.height}
                                                                   : std::int64_t{header.height});
    const std::uint64_t rowSize = (width * header.bitCount / 8 + 3) / 4 * 4;
    if (rowSize > kMaxPixelBytes / rows) {
        return nullptr;
    }
    const std::uint64_t size = rowSize * rows;
    std::unique_ptr<std::uint8_t[]> memory(new (std::nothrow) std::uint8_t[size]());
    if (!memory) {
        return nullptr;
    }
    return std::unique_ptr<DibSection>(new DibSection(std::move(memory), size));
}
