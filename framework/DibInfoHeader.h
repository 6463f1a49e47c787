#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The fields of a bitmap information header that the program uses. The header
// block of a bitmap starts with it; larger header versions share these fields.
struct DibInfoHeader {
    static constexpr std::uint32_t kSize = 40; // the smallest header with these fields
    static constexpr std::uint32_t kMasksSize = 12;
    static constexpr std::uint32_t kCompressionNone = 0;
    static constexpr std::uint32_t kCompressionBitFields = 3;

    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // positive: the bottom row is stored first
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
};

// The header at the start of `block`, or nullopt when the block is shorter
// than kSize.
std::optional<DibInfoHeader> ReadDibInfoHeader(std::span<const std::uint8_t> block);

// The red, green and blue masks that follow a 40-byte header (the same place
// where larger headers keep them), or nullopt when the block ends before them.
std::optional<std::array<std::uint32_t, 3>> ReadDibMasks(std::span<const std::uint8_t> block);

// Stores `header` as a 40-byte information header into `out`, all other fields 0.
void StoreDibInfoHeader(std::uint8_t* out, const DibInfoHeader& header);
