#include "agents/CarriedConflicts.h"

#include "agents/AgentFile.h"
#include "agents/AgentNames.h"
#include "app/KitException.h"
#include "app/StringTable.h"
#include "platform/FileDescriptor.h"

#include <xxhash.h>
#if defined(__x86_64__)
// The library's dispatching entry points pick the widest vector unit the
// processor has at run time; the plain ones are built for the oldest.
#include <xxh_x86dispatch.h>
#endif

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <set>
#include <unistd.h>

namespace {

// Contents are hashed through a buffer of this size, so memory stays bounded
// whatever the carried files weigh; it is large enough for the file system to
// read ahead and small enough to stay in the processor's cache for hashing.
constexpr std::size_t kHashBlockSize = 256 * 1024;

struct HashStateDeleter {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};

// The 128-bit hash of `size` bytes at `offset` of the file at `path`, read
// block by block. A file that holds fewer bytes than that fails like one that
// cannot be read: it changed since it was listed.
XXH128_hash_t HashContents(const std::string& path, std::uint64_t offset, std::uint64_t size,
                           std::vector<std::uint8_t>& block) {
    const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const std::unique_ptr<XXH3_state_t, HashStateDeleter> state(XXH3_createState());
    if (!file.IsOpen() || !state || XXH3_128bits_reset(state.get()) != XXH_OK) {
        ThrowStringId(IDS_ERROR_READING_FILE, path.c_str());
    }
    ::posix_fadvise(file.Get(), static_cast<off_t>(offset), static_cast<off_t>(size),
                    POSIX_FADV_SEQUENTIAL);
    while (size > 0) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, block.size()));
        const ssize_t got = ::pread(file.Get(), block.data(), wanted, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ThrowStringId(IDS_ERROR_READING_FILE, path.c_str());
        }
        XXH3_128bits_update(state.get(), block.data(), static_cast<std::size_t>(got));
        offset += static_cast<std::uint64_t>(got);
        size -= static_cast<std::uint64_t>(got);
    }
    return XXH3_128bits_digest(state.get());
}

} // namespace

void CCarriedFileIndex::Add(const CAgentFile& file) {
    std::set<std::pair<std::uint32_t, std::string>> seen;
    for (const auto& record : file.m_dependencies) {
        auto key = std::make_pair(record->m_type, CaseFolded1252(record->m_name));
        if (seen.insert(key).second) {
            m_byName[std::move(key)].push_back(
                {file.m_path, record->m_name, record->m_dataOffset, record->m_size});
        }
    }
}

// Sizes first: different sizes differ at once, and only contents of one size
// are hashed.
bool CCarriedFileIndex::ContentsDiffer(const std::vector<Carried>& carriers) {
    const auto size = carriers.front().size;
    if (std::any_of(carriers.begin(), carriers.end(),
                    [size](const Carried& carried) { return carried.size != size; })) {
        return true;
    }
    std::vector<std::uint8_t> block(kHashBlockSize);
    const XXH128_hash_t first =
        HashContents(carriers.front().path, carriers.front().offset, size, block);
    return std::any_of(carriers.begin() + 1, carriers.end(), [&](const Carried& carried) {
        return !XXH128_isEqual(first, HashContents(carried.path, carried.offset, size, block));
    });
}

std::vector<CCarriedConflict> CCarriedFileIndex::Conflicts() const {
    std::vector<CCarriedConflict> conflicts;
    for (const auto& [key, carriers] : m_byName) {
        if (carriers.size() < 2 || !ContentsDiffer(carriers)) {
            continue;
        }
        CCarriedConflict conflict{key.first, carriers.front().name, {}};
        for (const auto& carried : carriers) {
            conflict.paths.push_back(carried.path);
        }
        conflicts.push_back(std::move(conflict));
    }
    return conflicts;
}
