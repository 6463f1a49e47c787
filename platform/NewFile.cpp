#include "platform/NewFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kTemporaryPattern = ".splicebox-XXXXXX";
// Hidden names left by dead processes of the same id are rare; a few tries
// get past them.
constexpr int kNameAttempts = 100;

// The answers by which a file system says it has no unnamed files, where a
// named temporary file still works.
bool RefusesUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// A hidden name of this process's own; a process that died with the same id
// may have left one behind, so the next is tried.
std::string HiddenName(const std::string& directory, int attempt) {
    return directory + ".splicebox-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

} // namespace

int OpenUnnamedFile(const char* directory, mode_t mode) {
    return ::open(directory, O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

CNewFile::CNewFile(const std::string& directory, mode_t mode, UnnamedFileOpen openUnnamed)
    : m_directory(directory) {
    m_file.Adopt(openUnnamed(directory.c_str(), mode));
    if (!m_file.IsOpen() && RefusesUnnamedFiles(errno)) {
        // mkostemp creates the file exclusively, so it never opens an existing
        // file or follows a link.
        std::string pattern = directory + kTemporaryPattern;
        m_file.Adopt(::mkostemp(pattern.data(), O_CLOEXEC));
        if (m_file.IsOpen()) {
            m_temporaryName = pattern;
        }
    }
    // The mode exactly, whatever the process's umask.
    if (!m_file.IsOpen() || ::fchmod(m_file.Get(), mode) != 0) {
        m_error = errno;
        m_file.Close();
    }
}

CNewFile::~CNewFile() {
    m_file.Close();
    if (!m_temporaryName.empty()) {
        ::unlink(m_temporaryName.c_str());
    }
}

bool CNewFile::Fail() {
    m_error = errno;
    return false;
}

bool CNewFile::Commit(const std::string& destination) {
    // Flushed before it gets its name, so that even a system crash leaves the
    // old file or the whole new one.
    if (!m_file.IsOpen() || ::fsync(m_file.Get()) != 0) {
        return Fail();
    }
    if (m_temporaryName.empty() && !NameUnnamed(destination)) {
        return false;
    }
    if (!m_temporaryName.empty() && !RenameInto(destination)) {
        return false;
    }
    return m_file.Close() || Fail();
}

// Links the unnamed file in under `destination`; where a file already has that
// name, under a hidden name for RenameInto to move over it.
bool CNewFile::NameUnnamed(const std::string& destination) {
    const std::string self = "/proc/self/fd/" + std::to_string(m_file.Get());
    const auto link = [&](const std::string& name) {
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    if (link(destination)) {
        return true;
    }
    if (errno != EEXIST) {
        return Fail();
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = HiddenName(m_directory, attempt);
        if (link(name)) {
            m_temporaryName = std::move(name);
            return true;
        }
        if (errno != EEXIST) {
            return Fail();
        }
    }
    return Fail();
}

bool CNewFile::RenameInto(const std::string& destination) {
    if (::rename(m_temporaryName.c_str(), destination.c_str()) != 0) {
        return Fail();
    }
    m_temporaryName.clear();
    return true;
}
