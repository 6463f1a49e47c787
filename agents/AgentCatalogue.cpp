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
        m_usageMemory.ApplyTo(*file);
        waited = source.WaitedForDisk();
        MakeRoom(m_files, 1);
        MakeRoom(m_agents, file->Agents().size());
        m_places.try_emplace(path);
        return file;
    } catch (const std::bad_alloc&) {
        ThrowStringId(IDS_ERROR_ALLOCATING_MEMORY);
    }
}

void CAgentCatalogue::Append(std::unique_ptr<CAgentFile> file) {
    m_places.find(file->Path())->second = {file.get(), m_files.size(), m_agents.size()};
    for (const auto& agent : file->Agents()) {
        m_agents.push_back(agent.get());
    }
    m_files.push_back(std::move(file));
}

void CAgentCatalogue::ScanDirectory(const std::string& directory) {
    const auto list = ListAgentFiles(directory, m_directoryReader);
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
    m_places.clear();
    m_agents.clear();
    m_files.clear();
    m_files.shrink_to_fit();
}

const CAgentFile* CAgentCatalogue::FindFile(const std::string& path) const {
    const auto known = m_places.find(path);
    return known != m_places.end() ? known->second.file : nullptr;
}

void CAgentCatalogue::ReloadFile(const std::string& path) {
    bool waited = false;
    std::unique_ptr<CAgentFile> file = Read(path, waited);
    Place& place = m_places.find(path)->second;
    if (place.file == nullptr) {
        Append(std::move(file));
        return;
    }
    // In the old file's place: the other files' agents keep theirs unless the
    // number of agents changed.
    const bool sameCount = file->Agents().size() == place.file->Agents().size();
    ReplaceAgents(place, *file);
    place.file = file.get();
    m_files[place.slot] = std::move(file);
    if (!sameCount) {
        Renumber(place.slot + 1, place.firstAgent + place.file->Agents().size());
    }
}

void CAgentCatalogue::RemoveFile(const std::string& path) {
    const auto known = m_places.find(path);
    if (known == m_places.end()) {
        return;
    }
    const Place place = known->second;
    const auto first = m_agents.begin() + static_cast<std::ptrdiff_t>(place.firstAgent);
    m_agents.erase(first, first + static_cast<std::ptrdiff_t>(place.file->Agents().size()));
    m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(place.slot));
    m_places.erase(known);
    Renumber(place.slot, place.firstAgent);
}

void CAgentCatalogue::ReplaceAgents(const Place& place, const CAgentFile& replacement) {
    const auto& agents = replacement.Agents();
    const auto first = static_cast<std::ptrdiff_t>(place.firstAgent);
    const auto count = static_cast<std::ptrdiff_t>(place.file->Agents().size());
    if (agents.size() != place.file->Agents().size()) {
        const auto after =
            m_agents.erase(m_agents.begin() + first, m_agents.begin() + first + count);
        m_agents.insert(after, agents.size(), nullptr);
    }
    std::transform(agents.begin(), agents.end(), m_agents.begin() + first,
                   [](const auto& agent) { return agent.get(); });
}

void CAgentCatalogue::Renumber(std::size_t slot, std::size_t firstAgent) {
    for (; slot < m_files.size(); ++slot) {
        CAgentFile* file = m_files[slot].get();
        // A file added twice under one path is known by its last copy only.
        if (const auto known = m_places.find(file->Path());
            known != m_places.end() && known->second.file == file) {
            known->second = {file, slot, firstAgent};
        }
        firstAgent += file->Agents().size();
    }
}

bool CAgentCatalogue::IsAgentFileName(const std::string& path) {
    return ::IsAgentFileName(path);
}
