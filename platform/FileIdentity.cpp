#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace {

CFileIdentity IdentityFromStatus(const struct stat& status) {
    return CFileIdentity{
        static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
        static_cast<std::uint64_t>(status.st_size),
        std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec};
}

} // namespace

std::optional<CFileIdentity> FileIdentityOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return std::nullopt;
    }
    return IdentityFromStatus(status);
}

std::optional<CFileIdentity> FileIdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return IdentityFromStatus(status);
}

std::optional<CFileIdentity> PlainFileIdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return IdentityFromStatus(status);
}
