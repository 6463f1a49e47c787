#include "agents/Extraction.h"

#include "agents/AgentFile.h"
#include "agents/AgentNames.h"
#include "app/KitException.h"
#include "app/StringTable.h"
#include "platform/FileDescriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

// Copies stream through a buffer of this size, so memory stays bounded
// whatever size the carried file has.
constexpr std::size_t kCopyBlockSize = 64 * 1024;
// Carried images and sounds are shared game data: readable by everyone.
constexpr mode_t kExtractedFileMode = 0644;

// A temporary file that is removed unless it has been renamed into place.
class CTemporaryFile {
public:
    explicit CTemporaryFile(const std::string& directory)
        : m_path(directory + ".splicebox-XXXXXX") {
        // mkstemp creates the file exclusively, so it never opens an existing
        // file or follows a link.
        m_file.Adopt(::mkostemp(m_path.data(), O_CLOEXEC));
        m_created = m_file.IsOpen();
    }
    ~CTemporaryFile() {
        m_file.Close();
        if (m_created && !m_renamed) {
            ::unlink(m_path.c_str());
        }
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    bool IsOpen() const { return m_file.IsOpen(); }
    int Get() const { return m_file.Get(); }

    bool CommitAs(const std::string& destination) {
        // Flushed before the rename, so that even a system crash leaves the old
        // file or the whole new one.
        if (::fchmod(m_file.Get(), kExtractedFileMode) != 0 || ::fsync(m_file.Get()) != 0 ||
            !m_file.Close()) {
            return false;
        }
        m_renamed = ::rename(m_path.c_str(), destination.c_str()) == 0;
        return m_renamed;
    }

private:
    std::string m_path;
    CFileDescriptor m_file;
    bool m_created = false;
    bool m_renamed = false;
};

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// False on a read failure and when the agent file holds fewer bytes than the
// record declares (it changed since it was listed).
bool Copy(int source, std::uint64_t offset, std::uint64_t size, int destination) {
    std::vector<std::uint8_t> block(kCopyBlockSize);
    while (size > 0) {
        const std::size_t wanted =
            size < block.size() ? static_cast<std::size_t>(size) : block.size();
        const ssize_t got = ::pread(source, block.data(), wanted, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || !WriteAll(destination, block.data(), static_cast<std::size_t>(got))) {
            return false;
        }
        offset += static_cast<std::uint64_t>(got);
        size -= static_cast<std::uint64_t>(got);
    }
    return true;
}

} // namespace

void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory,
                        const std::string& destination) {
    RequireSafeCarriedName(record.m_name);
    const std::string& agentPath = record.m_owner->m_path;
    const CFileDescriptor source(::open(agentPath.c_str(), O_RDONLY | O_CLOEXEC));
    CTemporaryFile target(directory);
    if (!source.IsOpen() || !target.IsOpen() ||
        !Copy(source.Get(), record.m_dataOffset, record.m_size, target.Get()) ||
        !target.CommitAs(destination)) {
        ThrowStringId(IDS_ERROR_READING_FILE, agentPath.c_str());
    }
}

void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory) {
    ExtractCarriedFile(record, directory, CarriedFilePath(directory, record.m_name));
}
