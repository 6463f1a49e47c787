#include "platform/FileCopy.h"
#include "platform/FileDescriptor.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>

namespace {

// Kernel copy steps standing in for a file system's answers.
ssize_t Refuses(int, off_t*, int, std::size_t) {
    errno = EXDEV;
    return -1;
}

// Ranges that start where the destination's first page does, which the kernel
// is asked to copy, and in the middle of a page, which go through the buffer.
constexpr off_t kRangeStart = 4096;
constexpr off_t kMidPage = 4;

// Copies the range's first three bytes in the kernel, then refuses: the
// fallback must go on from where the kernel stopped.
ssize_t CopiesThreeThenRefuses(int source, off_t* offset, int destination, std::size_t count) {
    if (*offset >= kRangeStart + 3) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return CopyFileRange(source, offset, destination, count < 3 ? count : 3);
}

ssize_t Fails(int, off_t*, int, std::size_t) {
    errno = EIO;
    return -1;
}

TEST(FileCopy, CopiesInTheKernelWherePagesLineUpOrThroughABuffer) {
    TempDir dir;
    std::string contents(600 * 1024, '\0'); // more than one fallback buffer
    for (std::size_t i = 0; i < contents.size(); ++i) {
        contents[i] = static_cast<char>(i * 7 / 3);
    }
    const std::string head(kRangeStart, 'h');
    const auto source = dir.Write("source", head + contents + "tail");
    const struct {
        const char* name;
        KernelCopyStep step;
        off_t start;
        std::uint64_t size;
        bool copied;
        std::string expected;
    } cases[] = {
        {"kernel", CopyFileRange, kRangeStart, contents.size(), true, contents},
        {"refused", Refuses, kRangeStart, contents.size(), true, contents},
        {"refused part way", CopiesThreeThenRefuses, kRangeStart, contents.size(), true, contents},
        {"mid-page, never the kernel", Fails, kRangeStart + kMidPage, contents.size(), true,
         contents.substr(kMidPage) + "tail"},
        {"nothing to copy", Fails, kRangeStart, 0, true, ""},
        {"failing", Fails, kRangeStart, contents.size(), false, ""},
        {"source too short", CopyFileRange, kRangeStart, contents.size() + 5, false,
         contents + "tail"},
        {"short, refused", Refuses, kRangeStart, contents.size() + 5, false, contents + "tail"},
    };
    for (const auto& c : cases) {
        const CFileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
        const auto target = dir / c.name;
        const CFileDescriptor to(
            ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        EXPECT_EQ(CopyFileBytes(from.Get(), c.start, c.size, to.Get(), c.step), c.copied) << c.name;
        EXPECT_EQ(dir.Read(c.name), c.expected) << c.name;
    }
}

} // namespace
