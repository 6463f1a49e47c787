#include "platform/DirectoryListing.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

class CSystemEntryReader : public IDirectoryEntryReader {
public:
    const dirent* Read(DIR* dir) override { return ::readdir(dir); }
};

} // namespace

IDirectoryEntryReader& SystemDirectoryEntryReader() {
    static CSystemEntryReader reader;
    return reader;
}

CDirectoryListing::CDirectoryListing(const std::string& directory, IDirectoryEntryReader& reader)
    : m_dir(::opendir(directory.c_str())), m_reader(reader) {}

CDirectoryListing::~CDirectoryListing() {
    if (m_dir != nullptr) {
        ::closedir(m_dir);
    }
}

CDirectoryListing::Step CDirectoryListing::Next(DirectoryEntry& entry) {
    if (m_dir == nullptr) {
        return Step::Failed;
    }
    for (;;) {
        // readdir reports its end and its failures alike with nullptr; errno tells them apart.
        errno = 0;
        const dirent* found = m_reader.Read(m_dir);
        if (found == nullptr) {
            return errno == 0 ? Step::End : Step::Failed;
        }
        if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0) {
            continue;
        }
        entry.name = found->d_name;
        entry.isDirectory = IsDirectory(*found);
        return Step::Entry;
    }
}

bool CDirectoryListing::IsDirectory(const dirent& entry) const {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat status {};
    return ::fstatat(::dirfd(m_dir), entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}
