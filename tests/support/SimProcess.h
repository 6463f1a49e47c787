#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <filesystem>
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
    // std::runtime_error when it ends or does not serve in time.
    explicit CSimProcess(const std::vector<std::string>& options = {});

    // Runs one command through its control interface and returns the result
    // ("ok", a query's answer, "error: ...", or "(no answer: ...)").
    std::string Command(const std::string& line);

    std::vector<std::string> LogLines() const;
    // The texts of the macros it has received, answered or not, in order.
    std::vector<std::string> Macros() const;
    // Waits until a log line contains `fragment`, serving this process's Qt
    // events meanwhile (the applet's side may live in the test). False on timeout.
    bool WaitForLog(const std::string& fragment,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const;

    // Ends it with SIGTERM; its exit status, or nothing if it did not end.
    std::optional<int> Stop();
    // Its exit status, or nothing if it still runs after `timeout`; serves
    // this process's Qt events meanwhile, as WaitForLog does.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    CChildProcess& Process() { return m_process; }

private:
    TempDir m_folder;
    std::filesystem::path m_logPath;
    CChildProcess m_process;
};
