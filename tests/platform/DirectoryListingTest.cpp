#include "platform/DirectoryListing.h"
#include "platform/FileDescriptor.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Listed {
    std::vector<std::string> names; // sorted, folders with a trailing "/"
    CDirectoryListing::Step last;
};

Listed ListAll(const std::string& directory, const std::function<void()>& afterFirst) {
    CDirectoryListing listing(directory);
    Listed listed;
    DirectoryEntry entry;
    while ((listed.last = listing.Next(entry)) == CDirectoryListing::Step::Entry) {
        listed.names.push_back(entry.name + (entry.isDirectory ? "/" : ""));
        if (listed.names.size() == 1) {
            afterFirst();
        }
    }
    std::sort(listed.names.begin(), listed.names.end());
    return listed;
}

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

TEST(DirectoryListing, TellsTheEndFromAFailureOfTheFileSystem) {
    const TempDir root;
    root.Write("a.kiv", "x");
    root.Write("b.kiv", "x");
    fs::create_directory(root / "sub");
    fs::create_symlink(root / "sub", root / "link");
    const fs::path dir = fs::canonical(root.Path());
    const std::string directory = dir.string() + "/";

    const Listed whole = ListAll(directory, [] {});
    EXPECT_EQ(whole.last, CDirectoryListing::Step::End);
    EXPECT_EQ(whole.names, (std::vector<std::string>{"a.kiv", "b.kiv", "link/", "sub/"}));

    // Once the descriptor no longer holds a directory, the next read of the
    // file system fails (ENOTDIR); the first read already fetched every entry,
    // and those are delivered before the failure (no longer told to be folders).
    const Listed cut = ListAll(directory, [&] {
        const int fd = DescriptorOf(dir);
        ASSERT_GE(fd, 0);
        const CFileDescriptor file(::open((dir / "a.kiv").c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_EQ(::dup2(file.Get(), fd), fd);
    });
    EXPECT_EQ(cut.last, CDirectoryListing::Step::Failed);
    EXPECT_EQ(cut.names.size(), whole.names.size());

    EXPECT_EQ(ListAll(directory + "missing/", [] {}).last, CDirectoryListing::Step::Failed);
}

} // namespace
