#include "platform/FileCopy.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace {

// The fallback's buffer: large enough that system calls cost little beside the
// copying, small enough that memory stays bounded whatever the file's size.
constexpr std::size_t kCopyBlockSize = 256 * 1024;

// The answers by which the kernel declines a copy that read and write can
// still make; any other error is a real failure of the files.
bool IsRefusal(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

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

bool CopyThroughBuffer(int source, off_t offset, std::uint64_t size, int destination) {
    std::vector<std::uint8_t> block(size < kCopyBlockSize ? static_cast<std::size_t>(size)
                                                          : kCopyBlockSize);
    while (size > 0) {
        const std::size_t wanted =
            size < block.size() ? static_cast<std::size_t>(size) : block.size();
        const ssize_t got = ::pread(source, block.data(), wanted, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || !WriteAll(destination, block.data(), static_cast<std::size_t>(got))) {
            return false;
        }
        offset += got;
        size -= static_cast<std::uint64_t>(got);
    }
    return true;
}

} // namespace

ssize_t CopyFileRange(int source, off_t* offset, int destination, std::size_t count) {
    return ::copy_file_range(source, offset, destination, nullptr, count, 0);
}

bool CopyFileBytes(int source, std::uint64_t offset, std::uint64_t size, int destination,
                   KernelCopyStep step) {
    auto at = static_cast<off_t>(offset);
    while (size > 0) {
        const ssize_t copied = step(source, &at, destination, static_cast<std::size_t>(size));
        if (copied < 0 && errno == EINTR) {
            continue;
        }
        if (copied < 0 && IsRefusal(errno)) {
            return CopyThroughBuffer(source, at, size, destination);
        }
        if (copied <= 0) {
            return false;
        }
        size -= static_cast<std::uint64_t>(copied);
    }
    return true;
}
