#include "platform/FilePrefetch.h"

#include "platform/FileDescriptor.h"

#include <fcntl.h>

void PrefetchFileStart(const std::string& path, std::size_t bytes) {
    const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.IsOpen()) {
        ::posix_fadvise(file.Get(), 0, static_cast<off_t>(bytes), POSIX_FADV_WILLNEED);
    }
}
