#pragma once

#include "platform/FileDescriptor.h"

#include <filesystem>

// Holds an exclusive flock on a lock file for its lifetime. The lock lives on a
// file of its own beside the data, which is replaced by rename on every write;
// the kernel drops it when its holder dies, so a killed writer never blocks the
// next one.
class CFileLock {
public:
    // Creates the lock file when missing and waits for the lock. IsHeld() is
    // false when the file cannot be opened or locked.
    explicit CFileLock(const std::filesystem::path& lockFile);

    bool IsHeld() const { return m_held; }

private:
    CFileDescriptor m_fd;
    bool m_held = false;
};
