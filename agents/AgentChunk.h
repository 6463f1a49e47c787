#pragma once

#include "agents/AgentFile.h"
#include "platform/ByteReader.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The parts of an agent file's chunks, parsed from their data. The reader and
// anything that walks an accepted file's chunks share them, so both read the
// same layout. Every part must lie inside its chunk: a part that does not raises
// IDS_UNEXPECTED_FILE_FORMAT.

[[noreturn]] void FailChunkFormat();

template <typename T> T NeedInChunk(std::optional<T> value) {
    if (!value) {
        FailChunkFormat();
    }
    return *value;
}

// Everything of an agent chunk up to its picture.
CAgentFields ParseAgentFields(CByteReader& reader);

// An agent's picture as stored: its size, and its pixel bytes when neither side
// is 0 (the agent then has a picture).
struct AgentPictureBytes {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::span<const std::uint8_t> pixels;
};
AgentPictureBytes ParsePictureBytes(CByteReader& reader);

// Stored pixels into the picture, whose first pixel's colour is transparent.
void DecodePixels(std::span<const std::uint8_t> bytes, std::uint32_t width, std::uint32_t height,
                  CAgentPicture& picture);

// The fixed part and the name of a "file" chunk; the contents follow them.
struct CarriedFileHead {
    ECarriedFileType type = ECarriedFileType::kImage;
    std::uint32_t reserved = 0;
    std::uint32_t size = 0;
    std::string name;
};
CarriedFileHead ParseCarriedFileHead(CByteReader& reader);
