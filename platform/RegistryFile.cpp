#include "platform/RegistryFile.h"

#include "platform/FileDescriptor.h"
#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::filesystem::path Beside(const std::filesystem::path& file, const char* suffix) {
    auto result = file;
    result += suffix;
    return result;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const auto written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

RegistryStatus CRegistryFile::Load(CRegistryDocument& document) const {
    CFileDescriptor fd(::open(m_file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen()) {
        if (errno != ENOENT) {
            return RegistryStatus::Failed;
        }
        document = CRegistryDocument();
        return RegistryStatus::Ok;
    }
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) {
        return RegistryStatus::Failed;
    }
    if (static_cast<std::uint64_t>(status.st_size) > kMaxRegistryFileSize) {
        return RegistryStatus::Damaged;
    }
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const auto got = ::read(fd.Get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return RegistryStatus::Failed;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    text.resize(done);
    if (text.empty()) {
        document = CRegistryDocument();
        return RegistryStatus::Ok;
    }
    auto parsed = CRegistryDocument::Parse(text);
    if (!parsed) {
        return RegistryStatus::Damaged;
    }
    document = std::move(*parsed);
    return RegistryStatus::Ok;
}

RegistryStatus
CRegistryFile::Update(const std::function<RegistryChange(CRegistryDocument&)>& change) const {
    std::error_code error;
    std::filesystem::create_directories(m_file.parent_path(), error);
    if (error) {
        return RegistryStatus::Failed;
    }
    const CFileLock lock(Beside(m_file, ".lock"));
    if (!lock.IsHeld()) {
        return RegistryStatus::Failed;
    }
    CRegistryDocument document;
    if (const auto status = Load(document); status != RegistryStatus::Ok) {
        return status;
    }
    switch (change(document)) {
    case RegistryChange::None:
        return RegistryStatus::Ok;
    case RegistryChange::Refused:
        return RegistryStatus::Failed;
    case RegistryChange::Made:
        break;
    }
    return Replace(document.Serialise());
}

RegistryStatus CRegistryFile::Replace(const std::string& text) const {
    // Only the lock holder writes the temporary file, so one name serves. The
    // data is on disk before the rename, so a crash leaves the old or the new
    // file whole.
    const auto temporary = Beside(m_file, ".tmp");
    CFileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    const bool written = fd.IsOpen() && WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0;
    if (!fd.IsOpen() || !fd.Close() || !written ||
        ::rename(temporary.c_str(), m_file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return RegistryStatus::Failed;
    }
    return RegistryStatus::Ok;
}
