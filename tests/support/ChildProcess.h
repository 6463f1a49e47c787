#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// A program run by a test. It dies with the test process (a crashed test leaves
// nothing behind), its standard input is a pipe the test writes to, and its
// standard error is the test's. The destructor ends it: SIGTERM, then SIGKILL.
class CChildProcess {
public:
    // Where its standard output goes: the test's own, nowhere, or a pipe the
    // test reads with ReadLine and ReadToEnd.
    enum class Output { Shared, Discarded, Captured };

    // Throws std::runtime_error when the program cannot be started.
    explicit CChildProcess(const std::vector<std::string>& argv, Output output = Output::Shared);
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool IsRunning();
    void WriteInput(std::string_view text);
    // Its standard input ends.
    void CloseInput();
    void Signal(int signalNumber);
    // The exit status (128 + n after signal n), or nothing when it is still
    // running after `timeout`.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

    // The next line of its captured output, without the line feed; empty at the end.
    std::string ReadLine();
    // The captured output not read yet, up to its end.
    std::string ReadToEnd();

private:
    // True once the child has been reaped.
    bool Reap(int flags);

    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    std::optional<int> m_status;
};
