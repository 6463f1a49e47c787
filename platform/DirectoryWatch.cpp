#include "platform/DirectoryWatch.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/inotify.h>
#include <unordered_set>

namespace {

// A file written in place, one replaced or renamed, and the folder itself
// removed or moved away.
constexpr std::uint32_t kWatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                         IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE_SELF |
                                         IN_MOVE_SELF;
// Events after which the names seen say nothing reliable about the folder.
constexpr std::uint32_t kLostTrack = IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED;
// Room for many events per read; their names make their sizes vary.
constexpr std::size_t kEventBufferSize = 64 * 1024;
// The largest event: a read that left this much room took every event there
// was, and a second read to learn so would cost as much as the first.
constexpr std::size_t kLargestEvent = sizeof(inotify_event) + NAME_MAX + 1;

} // namespace

CDirectoryWatch::CDirectoryWatch(const std::string& directory)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (m_fd.IsOpen() && ::inotify_add_watch(m_fd.Get(), directory.c_str(), kWatchedEvents) < 0) {
        m_fd.Close();
    }
}

DirectoryChanges CDirectoryWatch::Drain() {
    alignas(inotify_event) char events[kEventBufferSize];
    DirectoryChanges changes;
    std::unordered_set<std::string> seen;
    for (;;) {
        const ssize_t got = ::read(m_fd.Get(), events, sizeof events);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return changes;
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, events + at, sizeof event);
            // The name is padded with NULs to the event's length.
            const std::string name(events + at + sizeof event,
                                   ::strnlen(events + at + sizeof event, event.len));
            changes.incomplete = changes.incomplete || (event.mask & kLostTrack) != 0;
            if (!name.empty() && seen.insert(name).second) {
                changes.names.push_back(name);
            }
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
        if (static_cast<std::size_t>(got) <= kEventBufferSize - kLargestEvent) {
            return changes;
        }
    }
}
