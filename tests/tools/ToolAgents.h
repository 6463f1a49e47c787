#pragma once

#include "agents/AgentFile.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One agent of a test file, with a removal script, two event scripts and an
// installation script named after it.
struct ToolAgent {
    std::string name;
    std::uint16_t quantity = CAgent::kUnlimited;
    std::uint32_t lastUsed = 0;
    std::uint32_t reuseInterval = 0;
    std::vector<AgentDependencyRef> references = {};
};

// A carried file: type, name and contents.
struct ToolCarried {
    std::uint16_t type = 0;
    std::string name;
    std::string contents;
};

void SaveToolAgentFile(const std::string& path, const std::vector<ToolAgent>& agents,
                       const std::vector<ToolCarried>& carried = {});

// Quantity and last-used time as the file holds them now, for agent `index`.
std::pair<std::uint16_t, std::uint32_t> StoredUsage(const std::string& path, std::size_t index);
