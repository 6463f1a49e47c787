#pragma once

#include "agents/AgentFile.h"
#include "agents/UsageMemory.h"
#include "platform/DirectoryListing.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Every loaded agent file and the flat list of all their agents. An agent's
// position in m_agents is the handle the pages keep; it stays valid until the
// files change (Clear, ReloadFile, RemoveFile).
class CAgentCatalogue {
public:
    // `directoryReader` lists the directories that ScanDirectory reads; tests
    // pass one that fails.
    explicit CAgentCatalogue(IDirectoryEntryReader& directoryReader = SystemDirectoryEntryReader())
        : m_directoryReader(directoryReader) {}
    ~CAgentCatalogue() { Clear(); }
    CAgentCatalogue(const CAgentCatalogue&) = delete;
    CAgentCatalogue& operator=(const CAgentCatalogue&) = delete;

    // Loads one agent file and appends it with its agents; on failure the
    // catalogue is unchanged.
    void AddFile(const std::string& path);
    // Adds every agent file of the directory (see ListAgentFiles). Stops at the
    // first file that cannot be loaded; the files added before it stay. When
    // the listing fails part-way, the files it delivered are added and then
    // IDS_ERROR_LOOKING_FOR_KIV is raised.
    void ScanDirectory(const std::string& directory);
    void Clear();

    // The file last loaded from `path`; null when none is.
    const CAgentFile* FindFile(const std::string& path) const;
    // Loads `path` again: the file loaded from it before, if any, is replaced
    // with its agents; on failure the catalogue is unchanged. Every other file
    // and agent stays the same object.
    void ReloadFile(const std::string& path);
    // Drops the file loaded from `path` with its agents, if there is one.
    void RemoveFile(const std::string& path);

    static bool IsAgentFileName(const std::string& path);

    const std::vector<std::unique_ptr<CAgentFile>>& Files() const { return m_files; }
    // Every agent of every file, in the files' order; an injection changes
    // an agent's usage.
    const std::vector<CAgent*>& Agents() const { return m_agents; }
    // The uses counted but not written, which every injection of the
    // catalogue's agents goes by and keeps; kept across Clear, applied to
    // every load.
    CUsageMemory& UsageMemory() { return m_usageMemory; }

private:
    // AddFile; true when reading the file had to wait for the disk.
    bool Load(const std::string& path);
    // Where a file is in both lists.
    struct Place {
        CAgentFile* file = nullptr;
        std::size_t slot = 0;       // in m_files
        std::size_t firstAgent = 0; // in m_agents
    };

    // Reads the file at `path` and makes room for adding it in every list, so
    // that what follows cannot fail halfway; sets `waited` when a read had to
    // wait for the disk.
    std::unique_ptr<CAgentFile> Read(const std::string& path, bool& waited);
    void Append(std::unique_ptr<CAgentFile> file);
    // Puts the agents of `replacement` where those of the file at `place` are.
    void ReplaceAgents(const Place& place, const CAgentFile& replacement);
    // The places of the files from m_files[slot] on, whose agents now begin at
    // `firstAgent`.
    void Renumber(std::size_t slot, std::size_t firstAgent);

    // Each file's place by its path, so that a reload finds the few files
    // that changed without comparing every path or searching the lists. A
    // path added twice knows its last file.
    std::unordered_map<std::string, Place> m_places;
    std::vector<std::unique_ptr<CAgentFile>> m_files;
    std::vector<CAgent*> m_agents; // not owned: each belongs to its file
    IDirectoryEntryReader& m_directoryReader;
    CUsageMemory m_usageMemory;
};
