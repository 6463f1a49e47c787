#include "bench/agents/PageCache.h"

#include "platform/FileDescriptor.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Pages {
    std::size_t cached = 0;
    std::size_t total = 0;
};

Pages CountCachedPages(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_size == 0) {
        return {};
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    const auto pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    Pages pages;
    pages.total = (size + pageSize - 1) / pageSize;
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (mapping == MAP_FAILED) {
        pages.cached = pages.total; // unknown: count it as not evicted
        return pages;
    }
    std::vector<unsigned char> resident(pages.total);
    if (::mincore(mapping, size, resident.data()) != 0) {
        pages.cached = pages.total;
    } else {
        for (const unsigned char page : resident) {
            pages.cached += page & 1;
        }
    }
    ::munmap(mapping, size);
    return pages;
}

} // namespace

double EvictFromPageCache(const std::vector<std::string>& paths) {
    Pages all;
    for (const auto& path : paths) {
        const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!file.IsOpen()) {
            continue;
        }
        ::fsync(file.Get());
        ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_DONTNEED);
        const Pages pages = CountCachedPages(file.Get());
        all.cached += pages.cached;
        all.total += pages.total;
    }
    return all.total == 0 ? 0.0 : static_cast<double>(all.cached) / static_cast<double>(all.total);
}
