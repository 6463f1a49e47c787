#include "ui/LiveFolder.h"

#include "agents/AgentCatalogue.h"
#include "agents/AgentFileListing.h"
#include "core/KitException.h"
#include "core/StringTable.h"

#include <algorithm>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>

namespace {

std::int64_t NanosecondsSinceEpoch(CLiveFolder::WallTime time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

// A folder that cannot be listed at all holds nothing, as for the start-up scan.
AgentFileList ListedAgentFiles(const std::string& directory) {
    return ListAgentFiles(directory).value_or(AgentFileList{});
}

// A set, not a search of the catalogue per file: with thousands of files that
// search made the start-up quadratic.
std::unordered_set<std::string_view> LoadedPaths(const CAgentCatalogue& catalogue) {
    std::unordered_set<std::string_view> paths;
    paths.reserve(catalogue.m_files.size());
    for (const auto& file : catalogue.m_files) {
        paths.insert(file->m_path);
    }
    return paths;
}

} // namespace

void CLiveFolder::NoteChange(SteadyTime now) {
    m_due = now + kQuietPeriod;
}

std::optional<std::chrono::milliseconds> CLiveFolder::TimeToReload(SteadyTime now) const {
    if (!m_due) {
        return std::nullopt;
    }
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::ceil<std::chrono::milliseconds>(*m_due - now));
}

void CLiveFolder::NoteStartupScan(const CAgentCatalogue& catalogue, const std::string& directory) {
    const auto loaded = LoadedPaths(catalogue);
    for (const auto& path : ListedAgentFiles(directory).paths) {
        if (!loaded.contains(path)) {
            NoteShown(path);
            return;
        }
    }
}

void CLiveFolder::NoteShown(const std::string& path) {
    if (const auto version = VersionOf(path)) {
        m_reported[path] = *version;
    }
}

CLiveFolder::ReloadResult CLiveFolder::Reload(CAgentCatalogue& catalogue,
                                              const std::string& directory, SteadyTime now,
                                              WallTime wallNow) {
    m_due.reset();
    ReloadResult result;
    std::map<std::string, FileVersion> reported;
    bool settling = false;
    catalogue.Clear();
    const AgentFileList list = ListedAgentFiles(directory);
    for (const auto& path : list.paths) {
        settling = !Load(catalogue, path, wallNow, result, reported) || settling;
    }
    if (list.failed) {
        CKitException failure;
        FormatStringId(failure.m_message, IDS_ERROR_LOOKING_FOR_KIV);
        result.failures.push_back(failure);
    }
    // Files that vanished or have been mended are forgotten.
    m_reported = std::move(reported);
    if (settling) {
        m_due = now + kSettleTime;
    }
    return result;
}

std::optional<CLiveFolder::FileVersion> CLiveFolder::VersionOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileVersion{static_cast<std::uint64_t>(status.st_size),
                       std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec,
                       static_cast<std::uint64_t>(status.st_ino)};
}

bool CLiveFolder::Load(CAgentCatalogue& catalogue, const std::string& path, WallTime wallNow,
                       ReloadResult& result, std::map<std::string, FileVersion>& reported) {
    const auto before = VersionOf(path);
    try {
        catalogue.AddFile(path);
        return true;
    } catch (const CKitException& error) {
        const auto after = VersionOf(path);
        if (!after) {
            return true; // gone: nothing to say about it
        }
        const std::int64_t age = NanosecondsSinceEpoch(wallNow) - after->modifiedNs;
        const bool recent = age >= 0 && age < std::chrono::nanoseconds(kSettleTime).count();
        const auto shown = m_reported.find(path);
        if (before != after || recent) {
            // A message already shown for this form stays shown while it settles.
            if (shown != m_reported.end()) {
                reported.insert(*shown);
            }
            return false;
        }
        reported[path] = *after;
        if (shown == m_reported.end() || shown->second != *after) {
            result.failures.push_back(error);
        }
        return true;
    }
}
