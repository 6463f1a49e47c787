#include "platform/DirectoryListing.h"
#include "platform/FileDescriptor.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The process's own descriptor that has `dir` open (the only one).
int DescriptorOf(const fs::path& dir) {
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(fd.path(), error) == dir) {
            return std::stoi(fd.path().filename().string());
        }
    }
    return -1;
}

// Once the descriptor no longer holds a directory, the next read of the file
// system fails (ENOTDIR): the entries the first read fetched come first, and
// then a failure, not the end.
TEST(DirectoryListing, TellsTheEndFromAFailureOfTheFileSystem) {
    const TempDir root;
    root.Write("a.kiv", "x");
    fs::create_directory(root / "sub");
    fs::create_symlink(root / "sub", root / "link");
    const fs::path dir = fs::canonical(root.Path());
    CDirectoryListing listing(dir.string() + "/");
    DirectoryEntry entry;
    auto step = listing.Next(entry);
    const int fd = DescriptorOf(dir);
    ASSERT_GE(fd, 0);
    const CFileDescriptor file(::open((dir / "a.kiv").c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::dup2(file.Get(), fd), fd);
    int entries = 0;
    for (; step == CDirectoryListing::Step::Entry; step = listing.Next(entry)) {
        ++entries;
    }
    EXPECT_EQ(step, CDirectoryListing::Step::Failed);
    EXPECT_EQ(entries, 3);
    EXPECT_EQ(CDirectoryListing(dir.string() + "/missing/").Next(entry),
              CDirectoryListing::Step::Failed);
}

} // namespace
