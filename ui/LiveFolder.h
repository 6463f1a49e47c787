#pragma once

#include "core/KitException.h"
#include "platform/DirectoryWatch.h"
#include "platform/FileIdentity.h"

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class CAgentCatalogue;

// Keeps the catalogue in step with the Objects directory while the applet
// runs: when to read the folder again after it changed, which agent files to
// read again (only those whose identity changed: the applet's own usage
// write-back moves a file's identity on with it), what counts as a file still
// being written, and which damaged files have already had their say. The
// clocks are passed in; the watcher that feeds it lives in ui/widgets/.
class CLiveFolder {
public:
    using SteadyTime = std::chrono::steady_clock::time_point;
    using WallTime = std::chrono::system_clock::time_point;

    // The folder is read once it has been quiet this long, so a copy of a
    // thousand files is one reload rather than a thousand.
    static constexpr std::chrono::milliseconds kQuietPeriod{250};
    // A file that cannot be read and was written to less than this long ago is
    // taken as still being written, and is tried again once it has settled.
    static constexpr std::chrono::milliseconds kSettleTime{1000};

    // What a reload is to do to the catalogue.
    struct ReloadPlan {
        struct File {
            std::string path;
            CFileIdentity identity; // as it was when the plan was made
        };
        // New agent files, and loaded ones whose identity changed.
        std::vector<File> read;
        // Loaded agent files that are gone.
        std::vector<std::string> dropped;
        // The folder's listing failed part-way (IDS_ERROR_LOOKING_FOR_KIV).
        bool listingFailed = false;

        bool Empty() const { return read.empty() && dropped.empty() && !listingFailed; }
    };
    struct ReloadResult {
        // What to show: the files found damaged for the first time in this form.
        std::vector<CKitException> failures;
    };

    explicit CLiveFolder(std::string directory);

    // `changes` were seen in the folder at `now`.
    void NoteChange(SteadyTime now, const DirectoryChanges& changes);
    // How long from `now` until the folder is due to be read; zero when it is
    // due now, nothing when no change is waiting.
    std::optional<std::chrono::milliseconds> TimeToReload(SteadyTime now) const;

    // The start-up scan stops at the first agent file it cannot load and shows
    // its message; that file has had its say until it changes, and the files
    // after it are compared at the next reload.
    void NoteStartupScan(const CAgentCatalogue& catalogue);
    // The message of the agent file at `path` has been shown (a dropped file
    // that could not be loaded): it is not shown again until the file changes.
    void NoteShown(const std::string& path);

    // What the changes noted since the last plan ask of the catalogue: the
    // files they name, or every agent file of the folder when the names do
    // not tell all.
    ReloadPlan PlanReload(const CAgentCatalogue& catalogue);
    // Carries the plan out, going on past damaged files. A file still being
    // written is left out without a word and read again once it has settled.
    ReloadResult Reload(CAgentCatalogue& catalogue, const ReloadPlan& plan, SteadyTime now,
                        WallTime wallNow);

private:
    void Compare(const CAgentCatalogue& catalogue, const std::string& path, ReloadPlan& plan);
    void CompareAll(const CAgentCatalogue& catalogue, ReloadPlan& plan);
    bool WasReported(const std::string& path, const CFileIdentity& identity) const;
    // Loads one file; false when it is still being written.
    bool Load(CAgentCatalogue& catalogue, const ReloadPlan::File& file, WallTime wallNow,
              ReloadResult& result);

    std::string m_directory;
    std::optional<SteadyTime> m_due;
    // The agent files named by changes since the last plan.
    std::set<std::string> m_changed;
    // The names noted do not tell everything that changed.
    bool m_compareAll = false;
    // The damaged files whose message was shown, in the form it was shown for.
    std::map<std::string, CFileIdentity> m_reported;
};
