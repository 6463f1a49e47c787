// Start-up of the applet's window with 10,000 agent files in the Objects
// directory, beside a start-up with an empty one; and the CPU that the window
// uses while its Agents tab is open and idle, beside an idle Qt event loop.
// Each start is a fresh process, timed from just before it is started to the
// moment its sheet is first shown, against mirewalk-sim on a private bus.
#include "core/RegistryKey.h"
#include "bench/startup/StartupChild.h"
#include "bench/startup/StartupGame.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kAgentFiles = 10000;
// Starts of each kind; the median of these is reported.
constexpr int kStarts = 7;
constexpr int kIdleSeconds = 30;
constexpr double kStartGoalMs = 1000;
constexpr double kIdleGoalPercent = 1;

// A child run of this program, with its standard output read back.
class CChildRun {
public:
    explicit CChildRun(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"/proc/self/exe"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        m_process = std::make_unique<CChildProcess>(argv, CChildProcess::Output::Captured);
    }

    // The word after `key` on the line it prints starting with `key`.
    std::string Read(const std::string& key) {
        const std::string line = m_process->ReadLine();
        if (line.rfind(key + " ", 0) != 0) {
            throw std::runtime_error("the child printed \"" + line + "\" instead of " + key);
        }
        return line.substr(key.size() + 1);
    }

private:
    std::unique_ptr<CChildProcess> m_process;
};

void SetObjectsDirectory(const std::filesystem::path& folder) {
    CRegistryKey machine;
    machine.OpenKey(RegistryRoot::LocalMachine, kGameKeyPath);
    machine.WriteString("Objects Directory", (folder.string() + "/").c_str());
}

double StartUpMs(const std::filesystem::path& objects) {
    SetObjectsDirectory(objects);
    const auto start = std::chrono::steady_clock::now().time_since_epoch();
    CChildRun child({"--window"});
    const double shownNs = std::stod(child.Read("shown"));
    return (shownNs - static_cast<double>(
                          std::chrono::duration_cast<std::chrono::nanoseconds>(start).count())) /
           1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const char* Verdict(bool met) {
    return met ? "met" : "missed";
}

} // namespace

int main(int argc, char** argv) {
    if (const int code = RunStartupChild(argc, argv); code >= 0) {
        return code;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
    CPrivateBus bus;
    QCoreApplication application(argc, argv);
    GameEnvironment environment;
    const std::filesystem::path game = environment.InstallGame();
    WriteAppletPictures(game);
    // Qt wants a private runtime folder; the private world has one.
    const std::filesystem::path runtime = environment.Root() / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::filesystem::path emptyObjects = game / "Objects";
    const std::filesystem::path fullObjects = game / "Objects 10000";
    WriteAgentFiles(fullObjects, kAgentFiles);
    CSimProcess sim;

    try {
        // One start of each first, so both find the files and libraries cached.
        StartUpMs(emptyObjects);
        StartUpMs(fullObjects);
        std::vector<double> empty;
        std::vector<double> full;
        for (int i = 0; i < kStarts; ++i) {
            empty.push_back(StartUpMs(emptyObjects));
            full.push_back(StartUpMs(fullObjects));
        }
        // Side by side, so that both see the same machine.
        const std::string seconds = std::to_string(kIdleSeconds);
        CChildRun idle({"--idle", seconds});
        CChildRun baseline({"--idle-baseline", seconds});
        const double idlePercent = std::stod(idle.Read("cpu")) * 100;
        const double baselinePercent = std::stod(baseline.Read("cpu")) * 100;

        const double startMs = Median(full);
        const double emptyMs = Median(empty);
        std::printf("startup: median of %d starts each, %d agent files\n", kStarts, kAgentFiles);
        std::printf("start-up to window shown, %d agent files  %8.1f ms | baseline: empty "
                    "Objects directory %8.1f ms | ratio %.2f (goal < %.0f ms: %s)\n",
                    kAgentFiles, startMs, emptyMs, startMs / emptyMs, kStartGoalMs,
                    Verdict(startMs < kStartGoalMs));
        std::printf("CPU, Agents tab open and idle %d s  %8.3f %% | baseline: idle Qt event loop "
                    "%8.3f %% | ratio %.2f (goal < %.0f %%: %s)\n",
                    kIdleSeconds, idlePercent, baselinePercent,
                    baselinePercent > 0 ? idlePercent / baselinePercent : 0.0, kIdleGoalPercent,
                    Verdict(idlePercent < kIdleGoalPercent));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
    return 0;
}
