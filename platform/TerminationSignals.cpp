#include "platform/TerminationSignals.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

// The pipe's write end for the handler; -1 while no CTerminationSignals exists.
std::atomic<int> g_writeEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only use lock-free atomics");

void WriteSignalNumber(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    const int fd = g_writeEnd.load();
    if (fd >= 0) {
        // A full pipe already holds a signal still to be read, so a byte that
        // does not fit loses nothing.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

// Both ends non-blocking: the handler never waits, and reading stops when the
// pipe is empty.
int OpenPipe(CFileDescriptor& readEnd, CFileDescriptor& writeEnd) {
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "cannot make the signal pipe");
    }
    readEnd.Adopt(ends[0]);
    writeEnd.Adopt(ends[1]);
    return ends[0];
}

} // namespace

CTerminationSignals::CTerminationSignals()
    : m_notifier(OpenPipe(m_readEnd, m_writeEnd), QSocketNotifier::Read) {
    int expected = -1;
    if (!g_writeEnd.compare_exchange_strong(expected, m_writeEnd.Get())) {
        throw std::system_error(std::make_error_code(std::errc::device_or_resource_busy),
                                "termination signals are already being watched");
    }
    struct sigaction action {};
    action.sa_handler = WriteSignalNumber;
    // Interrupted system calls resume, so no other code sees EINTR.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals) {
        sigaddset(&action.sa_mask, signalNumber);
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (::sigaction(kSignals[i], &action, &m_previous[i]) != 0) {
            const int error = errno;
            RestoreHandlers(i);
            g_writeEnd.store(-1);
            throw std::system_error(error, std::generic_category(),
                                    "cannot handle the termination signals");
        }
    }
    connect(&m_notifier, &QSocketNotifier::activated, this, &CTerminationSignals::OnReadable);
}

CTerminationSignals::~CTerminationSignals() {
    RestoreHandlers(kSignals.size());
    g_writeEnd.store(-1);
}

void CTerminationSignals::RestoreHandlers(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    }
}

void CTerminationSignals::OnReadable() {
    unsigned char byte = 0;
    while (::read(m_readEnd.Get(), &byte, 1) == 1) {
        Q_EMIT Received(byte);
    }
}
