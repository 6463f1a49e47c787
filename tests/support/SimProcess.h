#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The game substitute, build/bin/mirewalk-sim run, as a child of the test on
// the session bus the test uses (start a CPrivateBusEnvironment first). It logs
// into a fresh folder; its standard output is discarded.
class CSimProcess {
public:
    // Starts it with the given run options (such as "--subject", "Bob") and
    // returns once it serves the game's macro server. Throws
    // std::runtime_error when it ends or does not serve within kStartTimeout.
    explicit CSimProcess(const std::vector<std::string>& options = {});
    ~CSimProcess();

    static constexpr std::chrono::milliseconds kStartTimeout{10000};

    // Runs one command through the substitute's control interface and returns
    // its result ("ok", a query's answer, "error: ...").
    std::string Command(const std::string& line);
    // Sends one command line to its standard input; it runs later.
    void WriteInput(const std::string& line);

    const std::filesystem::path& LogPath() const { return m_logPath; }
    std::vector<std::string> LogLines() const;
    // The texts of the macros it has received, answered or not, in order.
    std::vector<std::string> Macros() const;
    // Waits until a log line contains `fragment`, serving this process's Qt
    // events meanwhile (the applet's side may live in the test). False on timeout.
    bool WaitForLog(const std::string& fragment,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const;

    // Ends it with SIGTERM; its exit status, or nothing if it did not end.
    std::optional<int> Stop();
    // Its exit status, or nothing if it still runs after `timeout`; serves this
    // process's Qt events meanwhile, as WaitForLog does.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    CChildProcess& Process() { return *m_process; }

private:
    void WaitUntilServing();

    TempDir m_folder;
    std::filesystem::path m_logPath;
    std::unique_ptr<CChildProcess> m_process;
};

// Runs one command through the control interface of whichever substitute
// serves it on the session bus; its result, or "(no answer: ...)".
std::string SimCommand(const std::string& line);

// The text of a log line after its time and kind, with escapes undone; the
// kind goes to `kind` when given. Nothing when the line is not of that shape.
std::optional<std::string> ParseSimLogLine(const std::string& line, std::string* kind = nullptr);
