#include "platform/DirectoryListing.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct InjectedFailure {
    std::string directory;
    std::size_t entries = 0;
};

// Listings run on the user-interface thread only.
std::optional<InjectedFailure> g_injectedFailure;

std::optional<std::size_t> InjectedFailureFor(const std::string& directory) {
    if (g_injectedFailure && g_injectedFailure->directory == directory) {
        return g_injectedFailure->entries;
    }
    return std::nullopt;
}

} // namespace

CDirectoryListing::CDirectoryListing(const std::string& directory)
    : m_dir(::opendir(directory.c_str())), m_entriesBeforeFailure(InjectedFailureFor(directory)) {}

CDirectoryListing::~CDirectoryListing() {
    if (m_dir != nullptr) {
        ::closedir(m_dir);
    }
}

CDirectoryListing::Step CDirectoryListing::Next(DirectoryEntry& entry) {
    if (m_dir == nullptr || m_entriesBeforeFailure == std::size_t{0}) {
        return Step::Failed;
    }
    for (;;) {
        // readdir reports its end and its failures alike with nullptr; errno tells them apart.
        errno = 0;
        const dirent* found = ::readdir(m_dir);
        if (found == nullptr) {
            return errno == 0 ? Step::End : Step::Failed;
        }
        if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0) {
            continue;
        }
        entry.name = found->d_name;
        entry.isDirectory = IsDirectory(*found);
        if (m_entriesBeforeFailure) {
            --*m_entriesBeforeFailure;
        }
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

CDirectoryListing::CInjectedFailure::CInjectedFailure(const std::string& directory,
                                                      std::size_t entries) {
    g_injectedFailure = InjectedFailure{directory, entries};
}

CDirectoryListing::CInjectedFailure::~CInjectedFailure() {
    g_injectedFailure.reset();
}
