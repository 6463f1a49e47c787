#pragma once

#include "platform/FileDescriptor.h"

#include <string>

// Notice of every change in one directory: entries that appear, vanish or are
// renamed, and writes to the files in it. One inotify watch covers the folder
// and its files; a watch per file costs start-up time in proportion to the
// files, for thousands of them.
class CDirectoryWatch {
public:
    // Watches nothing (Fd() is -1) when the directory cannot be watched.
    explicit CDirectoryWatch(const std::string& directory);

    // Readable while events wait.
    int Fd() const { return m_fd.Get(); }
    // Reads every waiting event; true when there was one.
    bool Drain();

private:
    CFileDescriptor m_fd;
};
