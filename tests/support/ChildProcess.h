#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// A program run by a test. It dies with the test process, its standard input is a pipe the test
// writes to, its standard error is the test's, and the destructor ends it: SIGTERM, then SIGKILL.
class CChildProcess {
public:
    // Its standard output: the test's, nowhere, or a pipe the test reads.
    enum class Output { Shared, Discarded, Captured };

    // Throws std::runtime_error when the program cannot be started.
    explicit CChildProcess(const std::vector<std::string>& argv, Output output = Output::Shared);
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool IsRunning() { return !Reap(false); }
    void WriteInput(std::string_view text);
    void CloseInput();
    void Signal(int signalNumber);
    // The exit status (128 + n after signal n); nothing while it still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // The next captured line without its line feed (empty at the end), or the rest.
    std::string ReadLine() { return Read(false); }
    std::string ReadToEnd() { return Read(true); }

private:
    bool Reap(bool block);
    std::string Read(bool toEnd);

    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    std::optional<int> m_status;
};
