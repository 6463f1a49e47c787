#include "tests/support/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// How long a child gets to end after SIGTERM before it is killed: longer than
// the game substitute gives a released applet to leave (three seconds).
constexpr std::chrono::milliseconds kTerminateGrace{5000};
constexpr std::chrono::milliseconds kPollInterval{5};

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(char* const* argv, int stdinFd, int stdoutFd) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The test may block signals (a signal-handling program under test does);
    // the child starts with a clean mask.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::dup2(stdinFd, STDIN_FILENO);
    if (stdoutFd >= 0) {
        ::dup2(stdoutFd, STDOUT_FILENO);
    }
    ::execv(argv[0], argv);
    ::_exit(127);
}

} // namespace

CChildProcess::CChildProcess(const std::vector<std::string>& argv, Output output) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    // Writing to a child that has ended fails with EPIPE; SIGPIPE must not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    int input[2];
    int captured[2] = {-1, -1};
    if (::pipe2(input, O_CLOEXEC) != 0 ||
        (output == Output::Captured && ::pipe2(captured, O_CLOEXEC) != 0)) {
        throw std::runtime_error("cannot make pipes for " + argv.at(0));
    }
    const int stdoutFd =
        output == Output::Discarded ? ::open("/dev/null", O_WRONLY | O_CLOEXEC) : captured[1];
    m_pid = ::fork();
    if (m_pid == 0) {
        ExecChild(arguments.data(), input[0], stdoutFd);
    }
    ::close(input[0]);
    if (stdoutFd >= 0) {
        ::close(stdoutFd);
    }
    m_stdin = input[1];
    m_stdout = captured[0];
    if (m_pid < 0) {
        throw std::runtime_error("cannot start " + argv.at(0));
    }
}

CChildProcess::~CChildProcess() {
    if (IsRunning()) {
        Signal(SIGTERM);
        if (!WaitForExit(kTerminateGrace)) {
            Signal(SIGKILL);
            Reap(0);
        }
    }
    for (const int fd : {m_stdin, m_stdout}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool CChildProcess::IsRunning() {
    return m_pid > 0 && !Reap(WNOHANG);
}

void CChildProcess::WriteInput(std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(m_stdin, text.data(), text.size());
        if (written <= 0) {
            throw std::runtime_error("cannot write to the child's standard input");
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

void CChildProcess::CloseInput() {
    ::close(m_stdin);
    m_stdin = -1;
}

void CChildProcess::Signal(int signalNumber) {
    if (IsRunning()) {
        ::kill(m_pid, signalNumber);
    }
}

std::optional<int> CChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Reap(WNOHANG)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return m_status;
}

std::string CChildProcess::ReadLine() {
    std::string line;
    char c = 0;
    while (::read(m_stdout, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

std::string CChildProcess::ReadToEnd() {
    std::string rest;
    char block[4096];
    ssize_t got = 0;
    while ((got = ::read(m_stdout, block, sizeof block)) > 0) {
        rest.append(block, static_cast<std::size_t>(got));
    }
    return rest;
}

bool CChildProcess::Reap(int flags) {
    if (m_status) {
        return true;
    }
    int status = 0;
    if (::waitpid(m_pid, &status, flags) != m_pid) {
        return false;
    }
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}
