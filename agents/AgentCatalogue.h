#pragma once

#include "agents/AgentFile.h"
#include "agents/UsageMemory.h"

#include <memory>
#include <string>
#include <vector>

// Every loaded agent file and the flat list of all their agents. An agent's
// position in m_agents is the handle the pages keep; it stays valid until Clear.
class CAgentCatalogue {
public:
    CAgentCatalogue() = default;
    ~CAgentCatalogue() { Clear(); }
    CAgentCatalogue(const CAgentCatalogue&) = delete;
    CAgentCatalogue& operator=(const CAgentCatalogue&) = delete;

    // Loads one agent file and appends it with its agents; on failure the
    // catalogue is unchanged.
    void AddFile(const std::string& path);
    // Adds every agent file of the directory (see ListAgentFiles). Stops at the
    // first file that cannot be loaded; the files added before it stay. When
    // the listing fails part-way, the files it delivered are added and then
    // 6398 is raised.
    void ScanDirectory(const std::string& directory);
    void Clear();

    static bool IsAgentFileName(const std::string& path);

    std::vector<std::unique_ptr<CAgentFile>> m_files;
    std::vector<CAgent*> m_agents; // not owned: each belongs to its file
    // Uses counted but not written; kept across Clear, applied to every load.
    CUsageMemory m_usageMemory;

private:
    // AddFile; true when reading the file had to wait for the disk.
    bool Load(const std::string& path);
};
