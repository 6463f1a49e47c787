#include "tests/faults/FaultChild.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// Every operation the child runs ends within seconds, even under sanitizers.
constexpr std::chrono::seconds kExitTimeout{60};

std::vector<std::string> CommandLine(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{SB_BIN_DIR "/fault-child"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

} // namespace

CFaultChild::CFaultChild(const std::vector<std::string>& arguments) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot make a pipe for fault-child");
    }
    m_output = pipe[0];
    try {
        m_process = std::make_unique<CChildProcess>(CommandLine(arguments),
                                                    CChildProcess::Plumbing{pipe[1], -1});
    } catch (...) {
        ::close(pipe[0]);
        ::close(pipe[1]);
        throw;
    }
    ::close(pipe[1]);
}

CFaultChild::~CFaultChild() {
    m_process.reset();
    ::close(m_output);
}

std::string CFaultChild::ReadLine() {
    std::string line;
    char c = 0;
    while (::read(m_output, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

void CFaultChild::Kill() {
    m_process->Signal(SIGKILL);
    m_process->WaitForExit(kExitTimeout);
}

std::string CFaultChild::Finish() {
    std::string rest;
    char block[4096];
    ssize_t got = 0;
    while ((got = ::read(m_output, block, sizeof block)) > 0) {
        rest.append(block, static_cast<std::size_t>(got));
    }
    const auto status = m_process->WaitForExit(kExitTimeout);
    if (status != 0) {
        rest += "(exit status " + (status ? std::to_string(*status) : "none") + ")\n";
    }
    return rest;
}

std::string RunFaultChild(const std::vector<std::string>& arguments) {
    CFaultChild child(arguments);
    return child.Finish();
}
