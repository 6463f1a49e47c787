#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

// The game substitute, build/bin/mirewalk-sim run, as a child of the test on the test's session
// bus (start a CPrivateBusEnvironment first). It logs into a fresh folder; its standard output is
// discarded. Its waits serve this process's Qt events, as the applet's side may live in the test.
class CSimProcess {
public:
    // Starts it with run options (such as "--subject", "Bob") and returns once
    // it serves the game's macro server; throws std::runtime_error otherwise.
    explicit CSimProcess(const std::vector<std::string>& options = {});

    // One command through its control interface: "ok", a query's answer,
    // "error: ...", or "(no answer: ...)".
    std::string Command(const std::string& line);

    std::vector<std::string> LogLines() const;
    // The texts of the macros it has received, answered or not, in order.
    std::vector<std::string> Macros() const;
    // Whether a log line contains `fragment` within `timeout`.
    bool WaitForLog(const std::string& fragment,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const;

    // Ends it with SIGTERM; its exit status, or nothing if it did not end.
    std::optional<int> Stop();
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    CChildProcess& Process() { return m_process; }

private:
    TempDir m_folder;
    CChildProcess m_process;
};
