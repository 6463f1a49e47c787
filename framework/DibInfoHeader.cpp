#include "framework/DibInfoHeader.h"

#include "platform/ByteReader.h"

#include <cstring>

std::optional<DibInfoHeader> ReadDibInfoHeader(std::span<const std::uint8_t> block) {
    if (block.size() < DibInfoHeader::kSize) {
        return std::nullopt;
    }
    CByteReader reader(block);
    DibInfoHeader header;
    header.size = *reader.U32();
    header.width = *reader.I32();
    header.height = *reader.I32();
    header.planes = *reader.U16();
    header.bitCount = *reader.U16();
    header.compression = *reader.U32();
    header.imageSize = *reader.U32();
    return header;
}

std::optional<std::array<std::uint32_t, 3>> ReadDibMasks(std::span<const std::uint8_t> block) {
    if (block.size() < DibInfoHeader::kSize + DibInfoHeader::kMasksSize) {
        return std::nullopt;
    }
    CByteReader reader(block.subspan(DibInfoHeader::kSize));
    return std::array<std::uint32_t, 3>{*reader.U32(), *reader.U32(), *reader.U32()};
}

void StoreDibInfoHeader(std::uint8_t* out, const DibInfoHeader& header) {
    std::memset(out, 0, DibInfoHeader::kSize);
    StoreU32(out, header.size);
    StoreU32(out + 4, static_cast<std::uint32_t>(header.width));
    StoreU32(out + 8, static_cast<std::uint32_t>(header.height));
    StoreU16(out + 12, header.planes);
    StoreU16(out + 14, header.bitCount);
    StoreU32(out + 16, header.compression);
    StoreU32(out + 20, header.imageSize);
}
