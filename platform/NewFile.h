#pragma once

#include "platform/FileDescriptor.h"

#include <string>
#include <sys/types.h>

// Opens an unnamed file in `directory` for writing, as open(2) with O_TMPFILE
// does: the descriptor, or -1 with errno set. Tests pass one that refuses.
using UnnamedFileOpen = int (*)(const char* directory, mode_t mode);

int OpenUnnamedFile(const char* directory, mode_t mode);

// A file written in the folder of its destination and given its name only when
// it is whole and flushed. It starts without a name, so a process killed while
// writing it leaves nothing behind; where the file system has no unnamed files
// it starts under a hidden temporary name, removed again unless committed.
// Whoever reads the destination sees the old file or the whole new one.
class CNewFile {
public:
    // `directory` ends with a separator; the file gets exactly `mode`.
    // IsOpen() is false, with Error() set, when no file can be made there.
    CNewFile(const std::string& directory, mode_t mode,
             UnnamedFileOpen openUnnamed = OpenUnnamedFile);
    ~CNewFile();
    CNewFile(const CNewFile&) = delete;
    CNewFile& operator=(const CNewFile&) = delete;

    bool IsOpen() const { return m_file.IsOpen(); }
    int Get() const { return m_file.Get(); }
    // The errno of the step that failed.
    int Error() const { return m_error; }

    // Flushes the contents and gives the file the name `destination`, a path
    // in its directory, replacing whatever has that name (a link itself, never
    // its target). False, with Error() set, when any step fails; the
    // destination is then as it was.
    bool Commit(const std::string& destination);

private:
    bool Fail();
    bool NameUnnamed(const std::string& destination);
    bool RenameInto(const std::string& destination);

    std::string m_directory;
    std::string m_temporaryName; // empty while the file has no name
    CFileDescriptor m_file;
    int m_error = 0;
};
