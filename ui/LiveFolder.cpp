#include "ui/LiveFolder.h"

#include "agents/AgentCatalogue.h"
#include "agents/AgentFileListing.h"
#include "core/StringTable.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace {

std::int64_t NanosecondsSinceEpoch(CLiveFolder::WallTime time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

} // namespace

CLiveFolder::CLiveFolder(std::string directory) : m_directory(std::move(directory)) {}

void CLiveFolder::NoteChange(SteadyTime now, const DirectoryChanges& changes) {
    m_compareAll = m_compareAll || changes.incomplete;
    for (const std::string& name : changes.names) {
        if (IsAgentFileName(name)) {
            m_changed.insert(PathInDirectory(m_directory, name));
        }
    }
    m_due = now + kQuietPeriod;
}

std::optional<std::chrono::milliseconds> CLiveFolder::TimeToReload(SteadyTime now) const {
    if (!m_due) {
        return std::nullopt;
    }
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::ceil<std::chrono::milliseconds>(*m_due - now));
}

void CLiveFolder::NoteStartupScan(const CAgentCatalogue& catalogue) {
    // A folder that cannot be listed at all holds nothing, as for the scan.
    for (const auto& path : ListAgentFiles(m_directory).value_or(AgentFileList{}).paths) {
        if (catalogue.FindFile(path) == nullptr) {
            NoteShown(path);
            m_compareAll = true;
            return;
        }
    }
}

void CLiveFolder::NoteShown(const std::string& path) {
    if (const auto identity = PlainFileIdentityOf(path)) {
        m_reported[path] = *identity;
    }
}

CLiveFolder::ReloadPlan CLiveFolder::PlanReload(const CAgentCatalogue& catalogue) {
    m_due.reset();
    ReloadPlan plan;
    if (m_compareAll) {
        CompareAll(catalogue, plan);
    } else {
        for (const std::string& path : m_changed) {
            Compare(catalogue, path, plan);
        }
    }
    m_changed.clear();
    m_compareAll = false;
    return plan;
}

void CLiveFolder::Compare(const CAgentCatalogue& catalogue, const std::string& path,
                          ReloadPlan& plan) {
    const auto identity = PlainFileIdentityOf(path);
    const CAgentFile* loaded = catalogue.FindFile(path);
    if (!identity) {
        // Gone: a damaged file that comes back has its say again.
        m_reported.erase(path);
        if (loaded != nullptr) {
            plan.dropped.push_back(path);
        }
        return;
    }
    if (loaded != nullptr ? loaded->Identity() != *identity : !WasReported(path, *identity)) {
        plan.read.push_back({path, *identity});
    }
}

// A set of the listed paths, not a search of the listing per file: with
// thousands of files that search would be quadratic.
void CLiveFolder::CompareAll(const CAgentCatalogue& catalogue, ReloadPlan& plan) {
    const AgentFileList list = ListAgentFiles(m_directory).value_or(AgentFileList{});
    plan.listingFailed = list.failed;
    const std::unordered_set<std::string_view> listed(list.paths.begin(), list.paths.end());
    for (const auto& path : list.paths) {
        Compare(catalogue, path, plan);
    }
    for (const auto& file : catalogue.Files()) {
        if (!listed.contains(file->Path())) {
            plan.dropped.push_back(file->Path());
        }
    }
    std::erase_if(m_reported, [&](const auto& entry) { return !listed.contains(entry.first); });
}

bool CLiveFolder::WasReported(const std::string& path, const CFileIdentity& identity) const {
    const auto shown = m_reported.find(path);
    return shown != m_reported.end() && shown->second == identity;
}

CLiveFolder::ReloadResult CLiveFolder::Reload(CAgentCatalogue& catalogue, const ReloadPlan& plan,
                                              SteadyTime now, WallTime wallNow) {
    ReloadResult result;
    for (const std::string& path : plan.dropped) {
        catalogue.RemoveFile(path);
    }
    bool settling = false;
    for (const ReloadPlan::File& file : plan.read) {
        if (!Load(catalogue, file, wallNow, result)) {
            m_changed.insert(file.path);
            settling = true;
        }
    }
    if (plan.listingFailed) {
        CKitException failure;
        FormatStringId(failure.m_message, IDS_ERROR_LOOKING_FOR_KIV);
        result.failures.push_back(failure);
    }
    if (settling) {
        m_due = now + kSettleTime;
    }
    return result;
}

bool CLiveFolder::Load(CAgentCatalogue& catalogue, const ReloadPlan::File& file, WallTime wallNow,
                       ReloadResult& result) {
    try {
        catalogue.ReloadFile(file.path);
        m_reported.erase(file.path); // mended
        return true;
    } catch (const CKitException& error) {
        catalogue.RemoveFile(file.path);
        const auto after = PlainFileIdentityOf(file.path);
        if (!after) {
            m_reported.erase(file.path);
            return true; // gone: nothing to say about it
        }
        const std::int64_t age = NanosecondsSinceEpoch(wallNow) - after->modifiedNs;
        const bool recent = age >= 0 && age < std::chrono::nanoseconds(kSettleTime).count();
        if (file.identity != *after || recent) {
            // A message already shown for this form stays shown while it settles.
            return false;
        }
        if (!WasReported(file.path, *after)) {
            result.failures.push_back(error);
        }
        m_reported[file.path] = *after;
        return true;
    }
}
