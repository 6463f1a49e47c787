#include "platform/FilePrefetch.h"

#include "platform/FileDescriptor.h"

#include <fcntl.h>
#include <sys/uio.h>

void PrefetchFileStart(const std::string& path, std::size_t bytes) {
    const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.IsOpen()) {
        ::posix_fadvise(file.Get(), 0, static_cast<off_t>(bytes), POSIX_FADV_WILLNEED);
    }
}

std::optional<std::size_t> ReadIfCached(int fd, std::uint8_t* out, std::size_t count,
                                        std::uint64_t at) {
    iovec buffer{out, count};
    const ssize_t got = ::preadv2(fd, &buffer, 1, static_cast<off_t>(at), RWF_NOWAIT);
    if (got < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(got);
}
