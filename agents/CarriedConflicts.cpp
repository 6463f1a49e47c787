#include "agents/CarriedConflicts.h"

#include "agents/AgentFile.h"
#include "agents/AgentNames.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/FileDescriptor.h"
#include "platform/FileNameCase.h"

#include <xxhash.h>
#if defined(__x86_64__)
// The library's dispatching entry points pick the widest vector unit the
// processor has at run time; the plain ones are built for the oldest.
#include <xxh_x86dispatch.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

// Contents are hashed through a buffer of this size, so memory stays bounded
// whatever the carried files weigh; it is large enough for the file system to
// read ahead and small enough to stay in the processor's cache for hashing.
constexpr std::size_t kHashBlockSize = 256 * 1024;
// Past a few threads the memory bus, not the processor, sets the pace.
constexpr unsigned kMaxHashThreads = 4;

struct HashStateDeleter {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};

using Carried = CCarriedFileIndex::Carried;

// The 128-bit hash of the carried file's bytes, read block by block; nothing
// when they cannot be read, also when the agent file holds fewer of them: it
// changed since it was listed.
std::optional<XXH128_hash_t> HashContents(const Carried& carried,
                                          std::vector<std::uint8_t>& block) {
    const CFileDescriptor file(::open(carried.path.c_str(), O_RDONLY | O_CLOEXEC));
    const std::unique_ptr<XXH3_state_t, HashStateDeleter> state(XXH3_createState());
    if (!file.IsOpen() || !state || XXH3_128bits_reset(state.get()) != XXH_OK) {
        return std::nullopt;
    }
    auto offset = carried.offset;
    auto size = carried.size;
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
            return std::nullopt;
        }
        XXH3_128bits_update(state.get(), block.data(), static_cast<std::size_t>(got));
        offset += static_cast<std::uint64_t>(got);
        size -= static_cast<std::uint64_t>(got);
    }
    return XXH3_128bits_digest(state.get());
}

// One thread's share: every carried file from `next` on that no other thread
// has taken yet.
void HashShare(const std::vector<const Carried*>& jobs, std::atomic<std::size_t>& next,
               std::vector<std::uint8_t>& block,
               std::vector<std::optional<XXH128_hash_t>>& hashes) {
    for (std::size_t job = next++; job < jobs.size(); job = next++) {
        hashes[job] = HashContents(*jobs[job], block);
    }
}

// Every job's hash. Copying out of the page cache costs the processor as much
// as hashing does, so each core takes a share; a thread that cannot be started
// leaves its share to the others.
std::vector<std::optional<XXH128_hash_t>> HashAll(const std::vector<const Carried*>& jobs) {
    std::vector<std::optional<XXH128_hash_t>> hashes(jobs.size());
    const std::size_t threads = std::min<std::size_t>(
        jobs.size(), std::clamp(std::thread::hardware_concurrency(), 1U, kMaxHashThreads));
    std::vector<std::vector<std::uint8_t>> blocks(threads,
                                                  std::vector<std::uint8_t>(kHashBlockSize));
    std::atomic<std::size_t> next = 0;
    {
        std::vector<std::jthread> helpers;
        for (std::size_t i = 1; i < threads; ++i) {
            try {
                helpers.emplace_back([&, i] { HashShare(jobs, next, blocks[i], hashes); });
            } catch (const std::system_error&) {
                break;
            }
        }
        if (threads > 0) {
            HashShare(jobs, next, blocks[0], hashes);
        }
    }
    return hashes;
}

bool OfOneSize(const std::vector<Carried>& carriers) {
    return std::all_of(carriers.begin(), carriers.end(), [&carriers](const Carried& carried) {
        return carried.size == carriers.front().size;
    });
}

} // namespace

// Within one agent file the injection takes the first record of a name
// ignoring Windows-1252 case; between agent files it meets the other's file in
// the game's folder, whose names it looks up ignoring ASCII case only.
void CCarriedFileIndex::Add(const CAgentFile& file) {
    std::set<std::pair<ECarriedFileType, std::string>> seen;
    for (const auto& record : file.CarriedFiles()) {
        if (seen.emplace(record->m_type, CaseFolded1252(record->m_name)).second) {
            m_byName[{record->m_type, FoldedAsciiCase(record->m_name)}].push_back(
                {file.Path(), record->m_name, record->m_dataOffset, record->m_size});
        }
    }
}

// Sizes first: names carried with different sizes conflict at once, and only
// the contents of names carried several times with one size are hashed.
std::vector<CCarriedConflict> CCarriedFileIndex::Conflicts() const {
    std::vector<const Carried*> jobs;
    for (const auto& [key, carriers] : m_byName) {
        if (carriers.size() > 1 && OfOneSize(carriers)) {
            for (const auto& carried : carriers) {
                jobs.push_back(&carried);
            }
        }
    }
    const auto hashes = HashAll(jobs);
    for (std::size_t job = 0; job < jobs.size(); ++job) {
        if (!hashes[job]) {
            ThrowStringId(IDS_ERROR_READING_FILE, jobs[job]->path.c_str());
        }
    }
    std::vector<CCarriedConflict> conflicts;
    auto hash = hashes.begin(); // the hashes of the next name hashed, in job order
    for (const auto& [key, carriers] : m_byName) {
        if (carriers.size() < 2) {
            continue;
        }
        bool differ = true;
        if (OfOneSize(carriers)) {
            const auto end = hash + static_cast<std::ptrdiff_t>(carriers.size());
            differ = std::any_of(hash, end, [first = **hash](const auto& other) {
                return !XXH128_isEqual(first, *other);
            });
            hash = end;
        }
        if (differ) {
            CCarriedConflict conflict{key.first, carriers.front().name, {}};
            for (const auto& carried : carriers) {
                conflict.paths.push_back(carried.path);
            }
            conflicts.push_back(std::move(conflict));
        }
    }
    return conflicts;
}
