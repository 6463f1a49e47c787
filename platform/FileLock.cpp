#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

CLockedFile::CLockedFile(const std::filesystem::path& path, int flags, mode_t mode)
    : m_fd(::open(path.c_str(), flags | O_CLOEXEC, mode)) {
    if (!m_fd.IsOpen()) {
        return;
    }
    int result;
    do {
        result = ::flock(m_fd.Get(), LOCK_EX);
    } while (result != 0 && errno == EINTR);
    m_held = result == 0;
}

CFileLock::CFileLock(const std::filesystem::path& lockFile)
    : m_file(lockFile, O_RDWR | O_CREAT, 0600) {}
