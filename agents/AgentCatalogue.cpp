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
    bool waited = false;
    Append(Read(path, waited));
    return waited;
}

std::unique_ptr<CAgentFile> CAgentCatalogue::Read(const std::string& path, bool& waited) {
    try {
        CFileAgentSource source(path);
        auto file = std::make_unique<CAgentFile>(path, source);
        waited = source.WaitedForDisk();
        MakeRoom(m_files, 1);
        MakeRoom(m_agents, file->m_agents.size());
        m_byPath.try_emplace(path, nullptr);
        return file;
    } catch (const std::bad_alloc&) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
}

void CAgentCatalogue::Append(std::unique_ptr<CAgentFile> file) {
    for (const auto& agent : file->m_agents) {
        m_agents.push_back(agent.get());
    }
    m_byPath.find(file->m_path)->second = file.get();
    m_files.push_back(std::move(file));
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
    m_byPath.clear();
    m_agents.clear();
    m_files.clear();
    m_files.shrink_to_fit();
}

const CAgentFile* CAgentCatalogue::FindFile(const std::string& path) const {
    const auto found = m_byPath.find(path);
    return found != m_byPath.end() ? found->second : nullptr;
}

void CAgentCatalogue::ReloadFile(const std::string& path) {
    bool waited = false;
    std::unique_ptr<CAgentFile> file = Read(path, waited);
    CAgentFile*& known = m_byPath.find(path)->second;
    if (known == nullptr) {
        Append(std::move(file));
        return;
    }
    // In the old file's place, so the agents of the files after it keep theirs
    // unless the number of agents changed.
    const std::size_t slot = SlotOf(known);
    ReplaceAgents(slot, file.get());
    known = file.get();
    m_files[slot] = std::move(file);
}

void CAgentCatalogue::RemoveFile(const std::string& path) {
    const auto known = m_byPath.find(path);
    if (known == m_byPath.end()) {
        return;
    }
    const std::size_t slot = SlotOf(known->second);
    ReplaceAgents(slot, nullptr);
    m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(slot));
    m_byPath.erase(known);
}

std::size_t CAgentCatalogue::SlotOf(const CAgentFile* file) const {
    const auto found = std::find_if(m_files.begin(), m_files.end(),
                                    [file](const auto& loaded) { return loaded.get() == file; });
    return static_cast<std::size_t>(found - m_files.begin());
}

void CAgentCatalogue::ReplaceAgents(std::size_t slot, const CAgentFile* replacement) {
    const auto first = m_agents.begin() + static_cast<std::ptrdiff_t>(FirstAgentOf(slot));
    const auto after =
        m_agents.erase(first, first + static_cast<std::ptrdiff_t>(m_files[slot]->m_agents.size()));
    if (replacement == nullptr) {
        return;
    }
    const auto& agents = replacement->m_agents;
    const auto at = m_agents.insert(after, agents.size(), nullptr);
    std::transform(agents.begin(), agents.end(), at, [](const auto& agent) { return agent.get(); });
}

// A search for the first agent's pointer, not a count over the files before:
// with thousands of files the count would visit each one's memory.
std::size_t CAgentCatalogue::FirstAgentOf(std::size_t slot) const {
    for (; slot < m_files.size(); ++slot) {
        if (const auto& agents = m_files[slot]->m_agents; !agents.empty()) {
            const auto found = std::find(m_agents.begin(), m_agents.end(), agents.front().get());
            return static_cast<std::size_t>(found - m_agents.begin());
        }
    }
    return m_agents.size();
}

bool CAgentCatalogue::IsAgentFileName(const std::string& path) {
    return ::IsAgentFileName(path);
}
