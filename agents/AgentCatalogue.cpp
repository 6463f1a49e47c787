#include "agents/AgentCatalogue.h"

#include "agents/AgentFileListing.h"
#include "app/KitException.h"
#include "app/StringTable.h"
#include "platform/FilePrefetch.h"

#include <algorithm>
#include <new>

namespace {

// Files whose first page is asked for ahead of the one being read: enough to
// keep a disk's queue full while the inodes are still being fetched, and only
// 4 MiB of cache.
constexpr std::size_t kPrefetchAhead = 1024;
// The page that the reader takes first: the magic and the first chunks.
constexpr std::size_t kPrefetchBytes = 4096;

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
    // After a boot each file's first page waits on the disk; asking for the
    // pages of the files ahead keeps that many reads in flight at once.
    const auto& paths = list->paths;
    for (std::size_t i = 0; i < std::min(kPrefetchAhead, paths.size()); ++i) {
        PrefetchFileStart(paths[i], kPrefetchBytes);
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i + kPrefetchAhead < paths.size()) {
            PrefetchFileStart(paths[i + kPrefetchAhead], kPrefetchBytes);
        }
        AddFile(paths[i]);
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
