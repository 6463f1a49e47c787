#include "tools/kivtool/UnpackCommand.h"

#include "core/KitException.h"
#include "core/StringTable.h"
#include "platform/FileDescriptor.h"
#include "tools/kivtool/AgentFileUnpacking.h"
#include "tools/kivtool/ToolSupport.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

constexpr const char* kUsage =
    "Usage: kivtool unpack FILE DIR\n"
    "Writes into the folder DIR (created when missing; it must be empty) a manifest\n"
    "and every file it names: each agent's picture as a PNG, each carried file and\n"
    "each chunk of another tag. \"kivtool pack\" of the manifest gives FILE back byte\n"
    "for byte. A carried name that is no plain file name is kept in the manifest and\n"
    "its contents get a name of unpack's choosing inside DIR. Prints the manifest's\n"
    "path.\n";

// Unpacked files are the author's own to edit and share.
constexpr mode_t kUnpackedFileMode = 0644;
constexpr mode_t kFolderMode = 0755;

// The agent file's bytes, mapped rather than read: carried contents go from the
// mapping straight into their files.
class CMappedAgentFile {
public:
    explicit CMappedAgentFile(const std::string& path) : m_file(QString::fromStdString(path)) {
        if (!m_file.open(QIODevice::ReadOnly)) {
            ThrowStringId(IDS_ERROR_READING_FILE, path.c_str());
        }
        if (m_file.size() > 0) {
            const uchar* data = m_file.map(0, m_file.size());
            if (data == nullptr) {
                ThrowStringId(IDS_ERROR_READING_FILE, path.c_str());
            }
            m_bytes = std::span(data, static_cast<std::size_t>(m_file.size()));
        }
    }

    std::span<const std::uint8_t> Bytes() const { return m_bytes; }

private:
    QFile m_file;
    std::span<const std::uint8_t> m_bytes;
};

[[noreturn]] void FailFolder(const std::string& folder, const char* what) {
    ThrowString("%s: %s", folder.c_str(), what);
}

// The folder, empty: made when missing. True when it was made here.
bool PrepareFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), kFolderMode) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        FailFolder(folder,
                   (std::string("cannot create the folder: ") + std::strerror(errno)).c_str());
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        FailFolder(folder, "not a folder");
    }
    if (!std::filesystem::is_empty(folder, error) || error) {
        FailFolder(folder, "the folder is not empty");
    }
    return false;
}

void WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    // O_EXCL: a name already taken, or a link planted under it, is never written through.
    CFileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kUnpackedFileMode));
    bool written = file.IsOpen();
    for (std::size_t at = 0; written && at < bytes.size();) {
        const ssize_t count = ::write(file.Get(), bytes.data() + at, bytes.size() - at);
        written = count > 0;
        at += written ? static_cast<std::size_t>(count) : 0;
    }
    if (!file.Close() || !written) {
        ThrowStringId(IDS_ERROR_WRITING_FILE, path.c_str());
    }
}

// Writes every file, the manifest last; on a failure removes what it wrote, and
// the folder when it made it.
void WriteUnpacked(const CUnpackedAgentFile& unpacked, const std::string& folder) {
    const bool made = PrepareFolder(folder);
    const std::string directory = AsDirectory(folder);
    std::vector<std::string> written;
    try {
        for (const auto& file : unpacked.files) {
            written.push_back(directory + file.name);
            WriteNewFile(written.back(), file.Bytes());
        }
        written.push_back(directory + unpacked.manifestName);
        WriteNewFile(written.back(),
                     std::span(reinterpret_cast<const std::uint8_t*>(unpacked.manifest.data()),
                               unpacked.manifest.size()));
    } catch (const CKitException&) {
        for (const auto& path : written) {
            ::unlink(path.c_str());
        }
        if (made) {
            ::rmdir(folder.c_str());
        }
        throw;
    }
    std::printf("%s\n", written.back().c_str());
}

} // namespace

int RunUnpackCommand(int argc, char** argv) {
    return RunFileAndFolderCommand(argc, argv, kUsage, [](const char* path, const char* folder) {
        const CMappedAgentFile file(path);
        WriteUnpacked(UnpackAgentFile(file.Bytes(), path), folder);
    });
}
