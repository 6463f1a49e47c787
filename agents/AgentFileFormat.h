#pragma once

#include <cstddef>
#include <cstdint>

// The layout constants of an agent file, shared by the reader and the writer.
namespace AgentFileFormat {

constexpr char kMagic[4] = {'k', 'i', 'v', '2'};
constexpr char kAgentTag[4] = {'a', 'g', 'n', 't'};
constexpr char kFileTag[4] = {'f', 'i', 'l', 'e'};
constexpr std::size_t kTagSize = 4;
constexpr std::size_t kChunkHeaderSize = 8;

// An agent chunk's fixed numbers (26 bytes) plus room for its empty strings and
// counts; shorter ones are refused.
constexpr std::uint32_t kMinAgentChunkSize = 42;
// The quantity and the last-used time: the only bytes ever written back.
constexpr std::size_t kUsageSize = 6;
// Agent pictures are always stored as 5-6-5 (the picture's format value 1).
constexpr std::uint32_t kPicturePixelFormat = 1;
// type u16, reserved u32, size u32; the name follows.
constexpr std::size_t kFileChunkFixedSize = 10;

// Agent chunks are read into memory whole. Real ones hold texts, a table of
// names and a thumbnail, a few hundred kilobytes at most; 16 MiB leaves ample
// room and keeps a damaged length from claiming gigabytes.
constexpr std::uint32_t kMaxAgentChunkSize = 16u << 20;
// No Linux file system stores a longer name, so a carried file with a longer
// one could never be written out.
constexpr std::size_t kMaxCarriedNameLength = 255;
// Offsets are kept in 32 bits, so every chunk must end within the first 4 GiB.
constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFFu;

} // namespace AgentFileFormat
