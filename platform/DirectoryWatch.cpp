#include "platform/DirectoryWatch.h"

#include <cerrno>
#include <sys/inotify.h>

namespace {

// A file written in place, one replaced or renamed, and the folder itself
// removed or moved away.
constexpr std::uint32_t kWatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                         IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF |
                                         IN_MOVE_SELF;
// Room for many events per read; their names make their sizes vary.
constexpr std::size_t kEventBufferSize = 64 * 1024;

} // namespace

CDirectoryWatch::CDirectoryWatch(const std::string& directory)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (m_fd.IsOpen() && ::inotify_add_watch(m_fd.Get(), directory.c_str(), kWatchedEvents) < 0) {
        m_fd.Close();
    }
}

bool CDirectoryWatch::Drain() {
    alignas(inotify_event) char events[kEventBufferSize];
    bool any = false;
    for (;;) {
        const ssize_t got = ::read(m_fd.Get(), events, sizeof events);
        if (got > 0) {
            any = true;
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return any;
    }
}
