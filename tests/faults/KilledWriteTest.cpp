// An extraction or a pack killed while it writes a large file: the folder holds
// the old file or the whole new one, and nothing else.
#include "tests/faults/FaultGame.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <csignal>

namespace fs = std::filesystem;

namespace {

// Copying and flushing this many bytes takes tens of milliseconds at least,
// so the writer is found in the middle of it.
constexpr std::size_t kLargeSize = 32 << 20;

// Whether the process has a file of `folder` open, named or not yet named.
bool HasFileOpenIn(pid_t pid, const fs::path& folder) {
    std::error_code error;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (fs::read_symlink(fd.path(), error).parent_path() == folder) {
            return true;
        }
    }
    return false;
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename());
    }
    return names;
}

TEST(KilledWrite, LeavesTheOldFileOrTheWholeNewOneAndNothingElse) {
    FaultGame game;
    const std::string large(kLargeSize, 'L');
    const std::string bigAgent = game.folder / "Objects/big.kiv";
    SaveAgentFile(bigAgent, {{"big"}}, {{0, "big.s16", large}});
    const TempDir author;
    author.Write("art/big.s16", large);
    const auto manifest =
        author.Write("m.txt", "[agent]\nname = big\n\n[file]\ntype = image\npath = art/big.s16\n");
    ASSERT_EQ(std::system(("'" SB_BIN_DIR "/kivtool' pack '" + manifest.string() + "' -o '" +
                           (author / "whole.kiv").string() + "'")
                              .c_str()),
              0);
    WriteFile(game.images + "big.s16", "old picture");
    author.Write("big.kiv", "the author's previous file");
    const struct {
        std::vector<std::string> command;
        fs::path file;
        std::string old;
        std::string whole;
    } cases[] = {
        {{SB_BIN_DIR "/fault-child", "extract", bigAgent, "0", game.images},
         game.folder / "Images/big.s16",
         "old picture",
         large},
        {{SB_BIN_DIR "/kivtool", "pack", manifest, "-o", author / "big.kiv"},
         author / "big.kiv",
         "the author's previous file",
         author.Read("whole.kiv")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command[1]);
        const fs::path folder = c.file.parent_path();
        const auto before = Names(folder);
        CChildProcess writer(c.command, CChildProcess::Output::Discarded);
        ASSERT_TRUE(WaitUntil([&] { return HasFileOpenIn(writer.Pid(), folder); },
                              std::chrono::seconds(60)));
        writer.Signal(SIGKILL);
        writer.WaitForExit(std::chrono::seconds(60));
        EXPECT_EQ(Names(folder), before);
        const std::string found = ReadFile(c.file);
        EXPECT_TRUE(found == c.old || found == c.whole) << found.size() << " bytes";
    }
}

} // namespace
