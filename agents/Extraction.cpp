#include "agents/Extraction.h"

#include "agents/AgentFile.h"
#include "agents/AgentNames.h"
#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/FileCopy.h"
#include "platform/FileDescriptor.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

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

} // namespace

void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory,
                        const std::string& destination) {
    RequireSafeCarriedName(record.m_name);
    const std::string& agentPath = record.m_owner->m_path;
    const CFileDescriptor source(::open(agentPath.c_str(), O_RDONLY | O_CLOEXEC));
    CTemporaryFile target(directory);
    if (!source.IsOpen() || !target.IsOpen() ||
        !CopyFileBytes(source.Get(), record.m_dataOffset, record.m_size, target.Get()) ||
        !target.CommitAs(destination)) {
        ThrowStringId(IDS_ERROR_READING_FILE, agentPath.c_str());
    }
}

void ExtractCarriedFile(const CDependencyFile& record, const std::string& directory) {
    ExtractCarriedFile(record, directory, CarriedFilePath(directory, record.m_name));
}
