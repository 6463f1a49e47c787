#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A program run by a test. It dies with the test process, its standard input is a pipe that only
// the test writes to (so it never reads the test's), its standard error is the test's, and the
// destructor ends it: SIGTERM, then SIGKILL.
class CChildProcess {
public:
    // Its standard output: the test's, nowhere, a pipe the test reads, or (with its standard
    // error) the end of a file, for programs that pass their output on to helpers that outlive
    // them, as Wine's do.
    enum class Output { Shared, Discarded, Captured, Logged };

    // Throws std::runtime_error when the program cannot be started.
    explicit CChildProcess(const std::vector<std::string>& argv, Output output = Output::Shared,
                           const std::string& logFile = {}) {
        std::vector<char*> arguments;
        for (const std::string& argument : argv) {
            arguments.push_back(const_cast<char*>(argument.c_str()));
        }
        arguments.push_back(nullptr);
        // Writing to a child that has ended fails with EPIPE instead of ending the test.
        std::signal(SIGPIPE, SIG_IGN);
        int input[2];
        int captured[2] = {-1, -1};
        if (::pipe2(input, O_CLOEXEC) != 0 ||
            (output == Output::Captured && ::pipe2(captured, O_CLOEXEC) != 0)) {
            throw std::runtime_error("cannot make pipes for " + argv.at(0));
        }
        const int stdoutFd =
            output == Output::Discarded ? ::open("/dev/null", O_WRONLY | O_CLOEXEC)
            : output == Output::Logged
                ? ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)
                : captured[1];
        m_pid = ::fork();
        if (m_pid == 0) {
            // Async-signal-safe calls only. The child starts with no signal blocked, whatever a
            // signal-handling program under test made the test block.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::dup2(input[0], STDIN_FILENO);
            ::dup2(stdoutFd, STDOUT_FILENO); // fails harmlessly for -1, as ::close(-1) does
            if (output == Output::Logged) {
                ::dup2(stdoutFd, STDERR_FILENO);
            }
            ::execv(arguments[0], arguments.data());
            ::_exit(127);
        }
        ::close(input[0]);
        ::close(stdoutFd);
        m_stdin = input[1];
        m_stdout = captured[0];
        if (m_pid < 0) {
            throw std::runtime_error("cannot start " + argv.at(0));
        }
    }
    ~CChildProcess() {
        Signal(SIGTERM);
        if (!WaitForExit(kTerminateGrace)) {
            Signal(SIGKILL);
            Reap(true);
        }
        ::close(m_stdin); // either may be -1
        ::close(m_stdout);
    }
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    // Writes a line to its standard input; false when it no longer reads it.
    bool Send(const std::string& line) {
        const std::string text = line + "\n";
        return ::write(m_stdin, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    bool IsRunning() { return !Reap(false); }
    void Signal(int signalNumber) {
        if (IsRunning()) {
            ::kill(m_pid, signalNumber);
        }
    }
    // The exit status (128 + n after signal n); nothing while it still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!Reap(false) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kPollInterval);
        }
        return m_status;
    }
    // The next captured line without its line feed (empty at the end), or the rest.
    std::string ReadLine() { return Read(false); }
    std::string ReadToEnd() { return Read(true); }

private:
    // Longer than the game substitute gives a released applet to leave (three seconds).
    static constexpr std::chrono::milliseconds kTerminateGrace{5000};
    static constexpr std::chrono::milliseconds kPollInterval{5};
    bool Reap(bool block) {
        int status = 0;
        if (!m_status && m_pid > 0 && ::waitpid(m_pid, &status, block ? 0 : WNOHANG) == m_pid) {
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return m_status.has_value();
    }
    std::string Read(bool toEnd) {
        std::string text;
        char c = 0;
        while (::read(m_stdout, &c, 1) == 1 && (toEnd || c != '\n')) {
            text += c;
        }
        return text;
    }

    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    std::optional<int> m_status;
};
