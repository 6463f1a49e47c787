#include "platform/NewFile.h"
#include "platform/FileCopy.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace fs = std::filesystem;

namespace {

// A file system without unnamed files.
int RefusesUnnamedFiles(const char*, mode_t) {
    errno = EOPNOTSUPP;
    return -1;
}

// Where the file system has no unnamed files, the file starts under a hidden
// name that is removed when it is abandoned and renamed over a link when it is
// committed, with its mode. Unnamed files are the kill and injection tests'.
TEST(NewFile, UnderATemporaryNameAppearsOnlyWhenCommitted) {
    const TempDir dir;
    const TempDir elsewhere;
    fs::create_symlink(elsewhere.Write("target", "precious"), dir / "file");
    for (const bool commit : {false, true}) {
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
        CNewFile file(dir.Path().string() + "/", 0604, RefusesUnnamedFiles);
        ASSERT_TRUE(WriteAll(file.Get(), reinterpret_cast<const std::uint8_t*>("new"), 3));
        EXPECT_EQ(commit && file.Commit((dir / "file").string()), commit);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
    EXPECT_EQ(dir.Read("file"), "new");
    EXPECT_EQ(fs::status(dir / "file").permissions(), fs::perms(0604));
    EXPECT_EQ(elsewhere.Read("target"), "precious");
}

} // namespace
