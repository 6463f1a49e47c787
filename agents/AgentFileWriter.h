#pragma once

#include "agents/AgentFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Builds the bytes of an agent file chunk by chunk, in the order added. An
// agent is described by a CAgent: its numbers, texts, scripts, dependency
// table and picture are written as they are (the counts are the lists' sizes);
// a picture without pixels keeps its stored size when one side of it is 0.
// `trailing` bytes end a chunk after everything the game reads of it.
class CAgentFileWriter {
public:
    CAgentFileWriter();

    void AddAgent(const CAgent& agent, std::span<const std::uint8_t> trailing = {});
    void AddCarriedFile(ECarriedFileType type, std::string_view name,
                        std::span<const std::uint8_t> contents, std::uint32_t reserved = 0,
                        std::span<const std::uint8_t> trailing = {});
    // Any chunk; `tag` is four characters.
    void AddChunk(std::string_view tag, std::span<const std::uint8_t> data);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    // Writes the bytes to a file, replacing it; IDS_ERROR_WRITING_FILE with the path on failure.
    void Save(const std::string& path) const;

private:
    std::vector<std::uint8_t> m_bytes;
};
