#include "sim/mirewalk-sim/TerminationSignals.h"

#include <csignal>
#include <stdexcept>
#include <sys/signalfd.h>

namespace {

int OpenSignalFd() {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    if (pthread_sigmask(SIG_BLOCK, &blocked, nullptr) != 0) {
        throw std::runtime_error("cannot block the termination signals");
    }
    const int fd = signalfd(-1, &blocked, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open a signalfd");
    }
    return fd;
}

} // namespace

CTerminationSignals::CTerminationSignals()
    : m_fd(OpenSignalFd()), m_notifier(m_fd.Get(), QSocketNotifier::Read) {
    connect(&m_notifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnReadable);
}

void CTerminationSignals::OnReadable() {
    signalfd_siginfo info;
    while (::read(m_fd.Get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        Q_EMIT Received(static_cast<int>(info.ssi_signo));
    }
}
