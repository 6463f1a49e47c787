#pragma once

#include "platform/FileDescriptor.h"

#include <filesystem>

// An open file on which this process holds an exclusive flock for the object's
// lifetime. The kernel drops the lock when its holder dies, so a killed writer
// never blocks the next one; it binds only those who lock too.
class CLockedFile {
public:
    // Opens `path` with `flags` (O_CLOEXEC is added) and waits for the lock.
    // IsHeld() is false when the file cannot be opened or locked.
    CLockedFile(const std::filesystem::path& path, int flags, mode_t mode = 0);

    bool IsHeld() const { return m_held; }
    int Get() const { return m_fd.Get(); }

private:
    CFileDescriptor m_fd;
    bool m_held = false;
};

// Holds an exclusive lock on a lock file for its lifetime. The lock lives on a
// file of its own beside the data, which is replaced by rename on every write.
class CFileLock {
public:
    // Creates the lock file when missing and waits for the lock.
    explicit CFileLock(const std::filesystem::path& lockFile);

    bool IsHeld() const { return m_file.IsHeld(); }

private:
    CLockedFile m_file;
};
