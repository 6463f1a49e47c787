#pragma once

#include "core/KitException.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CAgentCatalogue;

// Keeps the catalogue in step with the Objects directory while the applet
// runs: when to read the folder again after it changed, what counts as a file
// still being written, and which damaged files have already had their say.
// The clocks are passed in; the watcher that feeds it lives in ui/widgets/.
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

    struct ReloadResult {
        // What to show: the files found damaged for the first time in this form.
        std::vector<CKitException> failures;
    };

    // Something changed in the folder at `now`.
    void NoteChange(SteadyTime now);
    // How long from `now` until the folder is due to be read; zero when it is
    // due now, nothing when no change is waiting.
    std::optional<std::chrono::milliseconds> TimeToReload(SteadyTime now) const;

    // The start-up scan stops at the first agent file it cannot load and shows
    // its message; that file has had its say until it changes.
    void NoteStartupScan(const CAgentCatalogue& catalogue, const std::string& directory);
    // The message of the agent file at `path` has been shown (a dropped file
    // that could not be loaded): it is not shown again until the file changes.
    void NoteShown(const std::string& path);

    // Empties the catalogue and loads every agent file of `directory` that can
    // be read, going on past damaged ones. A file still being written is left
    // out without a word and the folder is read again once it has settled.
    ReloadResult Reload(CAgentCatalogue& catalogue, const std::string& directory, SteadyTime now,
                        WallTime wallNow);

private:
    // What tells one state of a file from another.
    struct FileVersion {
        std::uint64_t size = 0;
        std::int64_t modifiedNs = 0; // since 1970
        std::uint64_t inode = 0;
        bool operator==(const FileVersion&) const = default;
    };
    static std::optional<FileVersion> VersionOf(const std::string& path);
    // Loads one file; false when it is still being written.
    bool Load(CAgentCatalogue& catalogue, const std::string& path, WallTime wallNow,
              ReloadResult& result, std::map<std::string, FileVersion>& reported);

    std::optional<SteadyTime> m_due;
    // The damaged files whose message was shown, in the form it was shown for.
    std::map<std::string, FileVersion> m_reported;
};
