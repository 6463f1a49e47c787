#pragma once

#include "platform/FileDescriptor.h"

#include <string>
#include <vector>

// What changed in a watched directory since it was last asked.
struct DirectoryChanges {
    // The entries that appeared, vanished, were renamed or written to, by
    // name, each once, in the order first seen.
    std::vector<std::string> names;
    // The names do not tell everything: the kernel's queue of events ran over,
    // or the directory itself was removed or moved. Only a fresh look at the
    // whole directory can tell what changed.
    bool incomplete = false;

    bool Any() const { return incomplete || !names.empty(); }
};

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
    // Reads every waiting event.
    DirectoryChanges Drain();

private:
    CFileDescriptor m_fd;
};
