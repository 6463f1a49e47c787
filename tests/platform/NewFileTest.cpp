#include "platform/NewFile.h"
#include "platform/FileCopy.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

namespace fs = std::filesystem;

namespace {

// A file system without unnamed files.
int RefusesUnnamedFiles(const char*, mode_t) {
    errno = EOPNOTSUPP;
    return -1;
}

std::set<std::string> Entries(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.insert(entry.path().filename().string() + ": " + dir.Read(entry.path().filename()));
    }
    return names;
}

// Unnamed or under a temporary name, the file appears only when committed,
// whole and with its mode, replacing a file or a link of its name; abandoned,
// it leaves nothing.
TEST(NewFile, AppearsWholeUnderItsNameOnlyWhenCommitted) {
    for (const UnnamedFileOpen open : {OpenUnnamedFile, RefusesUnnamedFiles}) {
        for (const char* before : {"", "old", "link"}) {
            SCOPED_TRACE(std::string(before) + (open == OpenUnnamedFile ? " unnamed" : " named"));
            const TempDir dir;
            const TempDir elsewhere;
            if (before == std::string("link")) {
                fs::create_symlink(elsewhere.Write("target", "precious"), dir / "file");
            } else if (*before != '\0') {
                dir.Write("file", before);
            }
            const auto untouched = Entries(dir);
            for (const bool commit : {false, true}) {
                EXPECT_EQ(Entries(dir), untouched);
                CNewFile file(dir.Path().string() + "/", 0604, open);
                ASSERT_TRUE(file.IsOpen());
                ASSERT_TRUE(WriteAll(file.Get(), reinterpret_cast<const std::uint8_t*>("new"), 3));
                if (commit) {
                    EXPECT_TRUE(file.Commit((dir / "file").string()));
                }
            }
            EXPECT_EQ(Entries(dir), std::set<std::string>{"file: new"});
            EXPECT_EQ(fs::status(dir / "file").permissions(), fs::perms(0604));
            EXPECT_EQ(elsewhere.Read("target"), *before == 'l' ? "precious" : "");
        }
    }
}

} // namespace
