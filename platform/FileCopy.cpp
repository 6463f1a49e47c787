#include "platform/FileCopy.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace {

// The buffer: large enough that system calls cost little beside the copying,
// small enough that memory stays bounded whatever the file's size and that it
// stays in the processor's cache between the read and the write.
constexpr std::size_t kCopyBlockSize = 256 * 1024;

// The answers by which the kernel declines a copy that read and write can
// still make; any other error is a real failure of the files.
bool IsRefusal(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
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

// The kernel copies through the page cache page by page. Where the source and
// destination offsets lie at different places within a page, it copies each
// page in two pieces and takes over a quarter longer than a read and a write
// through the buffer; it is given only the copies whose pages line up, which
// are also the only ones where a file system can share blocks.
bool PagesLineUp(std::uint64_t offset, int destination) {
    static const long pageSize = ::sysconf(_SC_PAGESIZE);
    const off_t position = ::lseek(destination, 0, SEEK_CUR);
    return pageSize > 0 && position >= 0 &&
           offset % static_cast<std::uint64_t>(pageSize) ==
               static_cast<std::uint64_t>(position) % static_cast<std::uint64_t>(pageSize);
}

} // namespace

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

ssize_t CopyFileRange(int source, off_t* offset, int destination, std::size_t count) {
    return ::copy_file_range(source, offset, destination, nullptr, count, 0);
}

bool CopyFileBytes(int source, std::uint64_t offset, std::uint64_t size, int destination,
                   KernelCopyStep step) {
    auto at = static_cast<off_t>(offset);
    if (!PagesLineUp(offset, destination)) {
        return CopyThroughBuffer(source, at, size, destination);
    }
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
