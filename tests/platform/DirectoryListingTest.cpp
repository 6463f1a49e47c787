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

struct Listed {
    std::vector<std::string> names; // sorted
    CDirectoryListing::Step last;
};

// Lists to the end or the failure; `beforeRest` runs after the first entry.
template <typename Action> Listed ListAll(CDirectoryListing& listing, Action beforeRest) {
    Listed listed;
    DirectoryEntry entry;
    while ((listed.last = listing.Next(entry)) == CDirectoryListing::Step::Entry) {
        listed.names.push_back(entry.name + (entry.isDirectory ? "/" : ""));
        if (listed.names.size() == 1) {
            beforeRest();
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
    for (const char* name : {"a.kiv", "b.kiv", "c.kiv"}) {
        root.Write(name, "x");
    }
    fs::create_directory(root / "sub");
    fs::create_symlink(root / "sub", root / "link");
    const fs::path dir = fs::canonical(root.Path());
    const std::string directory = dir.string() + "/";
    const std::vector<std::string> all = {"a.kiv", "b.kiv", "c.kiv", "link/", "sub/"};

    {
        CDirectoryListing whole(directory);
        const Listed complete = ListAll(whole, [] {});
        EXPECT_EQ(complete.last, CDirectoryListing::Step::End);
        EXPECT_EQ(complete.names, all);
    }

    // Once the descriptor no longer holds a directory, the next read of the
    // file system fails (ENOTDIR), after what was already read is delivered.
    CDirectoryListing broken(directory);
    const Listed cut = ListAll(broken, [&] {
        const int fd = DescriptorOf(dir);
        ASSERT_GE(fd, 0);
        const CFileDescriptor file(::open((dir / "a.kiv").c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_EQ(::dup2(file.Get(), fd), fd);
    });
    EXPECT_EQ(cut.last, CDirectoryListing::Step::Failed);
    EXPECT_LE(cut.names.size(), all.size());

    {
        const CDirectoryListing::CInjectedFailure failure(directory, 2);
        CDirectoryListing injected(directory);
        const Listed two = ListAll(injected, [] {});
        EXPECT_EQ(two.last, CDirectoryListing::Step::Failed);
        EXPECT_EQ(two.names.size(), 2u);
        CDirectoryListing otherSpelling(dir.string());
        EXPECT_EQ(ListAll(otherSpelling, [] {}).last, CDirectoryListing::Step::End);
    }
    CDirectoryListing afterwards(directory);
    EXPECT_EQ(ListAll(afterwards, [] {}).names, all);

    CDirectoryListing missing(directory + "missing/");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(ListAll(missing, [] {}).last, CDirectoryListing::Step::Failed);
}

} // namespace
