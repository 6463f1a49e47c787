#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

CFileLock::CFileLock(const std::filesystem::path& lockFile)
    : m_fd(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (!m_fd.IsOpen()) {
        return;
    }
    int result;
    do {
        result = ::flock(m_fd.Get(), LOCK_EX);
    } while (result != 0 && errno == EINTR);
    m_held = result == 0;
}
