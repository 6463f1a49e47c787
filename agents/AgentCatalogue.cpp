#include "agents/AgentCatalogue.h"

#include "agents/AgentFileListing.h"
#include "agents/AgentFileSource.h"
#include "core/KitException.h"
#include "core/StringTable.h"
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

// Asks for the first pages of the files ahead of the one being read once a
// read has had to wait for the disk. After a boot each file's first page waits
// on the disk, and many reads in flight at once are what make the scan fast
// then; while the files are cached, asking would cost two more opens a file.
class CReadAhead {
public:
    explicit CReadAhead(const std::vector<std::string>& paths) : m_paths(paths) {}

    // The file at `index` has been read, waiting for the disk or not.
    void After(std::size_t index, bool waited) {
        m_started = m_started || waited;
        if (!m_started) {
            return;
        }
        const std::size_t end = std::min(m_paths.size(), index + 1 + kPrefetchAhead);
        for (m_next = std::max(m_next, index + 1); m_next < end; ++m_next) {
            PrefetchFileStart(m_paths[m_next], kPrefetchBytes);
        }
    }

private:
    const std::vector<std::string>& m_paths;
    bool m_started = false;
    std::size_t m_next = 0; // the first file not asked for
};

} // namespace

void CAgentCatalogue::AddFile(const std::string& path) {
    Load(path);
}

bool CAgentCatalogue::Load(const std::string& path) {
    std::unique_ptr<CAgentFile> file;
    bool waited = false;
    try {
        CFileAgentSource source(path);
        file = std::make_unique<CAgentFile>(path, source);
        m_usageMemory.ApplyTo(*file);
        waited = source.WaitedForDisk();
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
    return waited;
}

void CAgentCatalogue::ScanDirectory(const std::string& directory) {
    const auto list = ListAgentFiles(directory);
    if (!list) {
        return;
    }
    // What the listing delivered before it failed is loaded all the same.
    CReadAhead readAhead(list->paths);
    for (std::size_t i = 0; i < list->paths.size(); ++i) {
        readAhead.After(i, Load(list->paths[i]));
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
