#include "agents/AgentCatalogue.h"

#include "agents/AgentFileListing.h"
#include "app/KitException.h"
#include "app/StringTable.h"

#include <algorithm>
#include <new>

namespace {

// Room for `extra` more entries, growing geometrically so that adding files
// one by one stays linear.
template <typename T> void MakeRoom(std::vector<T>& entries, std::size_t extra) {
    const std::size_t needed = entries.size() + extra;
    if (needed > entries.capacity()) {
        entries.reserve(std::max(needed, 2 * entries.capacity()));
    }
}

} // namespace

void CAgentCatalogue::AddFile(const std::string& path) {
    std::unique_ptr<CAgentFile> file;
    try {
        file = std::make_unique<CAgentFile>(path);
        // Room first, so appending cannot fail halfway and leave the two lists apart.
        MakeRoom(m_files, 1);
        MakeRoom(m_agents, file->m_agents.size());
    } catch (const std::bad_alloc&) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
    for (const auto& agent : file->m_agents) {
        m_agents.push_back(agent.get());
    }
    m_files.push_back(std::move(file));
}

void CAgentCatalogue::ScanDirectory(const std::string& directory) {
    const auto list = ListAgentFiles(directory);
    if (!list) {
        return;
    }
    // What the listing delivered before it failed is loaded all the same.
    for (const auto& path : list->paths) {
        AddFile(path);
    }
    if (list->failed) {
        ThrowStringId(IDS_ERROR_LOOKING_FOR_KIV);
    }
}

void CAgentCatalogue::Clear() {
    m_agents.clear();
    m_files.clear();
    m_files.shrink_to_fit();
}

bool CAgentCatalogue::IsAgentFileName(const std::string& path) {
    return ::IsAgentFileName(path);
}
