#include "platform/DirectoryListing.h"
#include "platform/FileDescriptor.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <vector>

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
// system fails (ENOTDIR); the first read already fetched every entry, and those
// are delivered before the failure (no longer told to be folders).
TEST(DirectoryListing, TellsTheEndFromAFailureOfTheFileSystem) {
    const TempDir root;
    root.Write("a.kiv", "x");
    root.Write("b.kiv", "x");
    fs::create_directory(root / "sub");
    fs::create_symlink(root / "sub", root / "link");
    const fs::path dir = fs::canonical(root.Path());
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "cut" : "whole");
        CDirectoryListing listing(dir.string() + "/");
        std::vector<std::string> names; // folders with a trailing "/"
        DirectoryEntry entry;
        auto step = listing.Next(entry);
        if (cut) {
            const int fd = DescriptorOf(dir);
            ASSERT_GE(fd, 0);
            const CFileDescriptor file(::open((dir / "a.kiv").c_str(), O_RDONLY | O_CLOEXEC));
            ASSERT_EQ(::dup2(file.Get(), fd), fd);
        }
        for (; step == CDirectoryListing::Step::Entry; step = listing.Next(entry)) {
            names.push_back(entry.name + (entry.isDirectory ? "/" : ""));
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(step, cut ? CDirectoryListing::Step::Failed : CDirectoryListing::Step::End);
        EXPECT_EQ(names.size(), 4u);
        if (!cut) {
            EXPECT_EQ(names, (std::vector<std::string>{"a.kiv", "b.kiv", "link/", "sub/"}));
        }
    }
    DirectoryEntry entry;
    EXPECT_EQ(CDirectoryListing(dir.string() + "/missing/").Next(entry),
              CDirectoryListing::Step::Failed);
}

} // namespace
