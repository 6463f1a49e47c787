// An extraction or a pack killed while it writes a large file: the folder holds
// the old file or the whole new one, and nothing else.
#include "tests/faults/FaultGame.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

#include <csignal>

namespace fs = std::filesystem;

namespace {

// Copying and flushing this many bytes takes tens of milliseconds at least.
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

TEST(KilledWrite, LeavesTheOldFileOrTheWholeNewOneAndNothingElse) {
    FaultGame game;
    const std::string large(kLargeSize, 'L');
    const std::string bigAgent = game.folder / "Objects/big.kiv";
    SaveAgentFile(bigAgent, {{"big"}}, {{kImage, "big.s16", large}});
    WriteFile(game.images + "big.s16", "old");
    const TempDir author;
    author.Write("big.s16", large);
    const std::string manifest =
        author.Write("m", "[agent]\nname = big\n[file]\ntype = image\npath = big.s16\n");
    const std::string kivtool = SB_BIN_DIR "/kivtool";
    ASSERT_EQ(CChildProcess({kivtool, "pack", manifest, "-o", author / "whole"})
                  .WaitForExit(std::chrono::seconds(60)),
              0);
    author.Write("big.kiv", "old");
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        {{SB_BIN_DIR "/fault-child", "extract", bigAgent, "0", game.images},
         game.images + "big.s16",
         large},
        {{kivtool, "pack", manifest, "-o", author / "big.kiv"},
         author / "big.kiv",
         author.Read("whole")},
    };
    for (const auto& [command, file, whole] : cases) {
        SCOPED_TRACE(command[1]);
        const fs::path folder = fs::path(file).parent_path();
        const auto before = Listing(folder).size();
        CChildProcess writer(command, CChildProcess::Output::Discarded);
        ASSERT_TRUE(WaitUntil([&] { return HasFileOpenIn(writer.Pid(), folder); },
                              std::chrono::seconds(60)));
        writer.Signal(SIGKILL);
        EXPECT_EQ(writer.WaitForExit(std::chrono::seconds(60)), 128 + SIGKILL);
        EXPECT_EQ(Listing(folder).size(), before);
        const std::string found = ReadFile(file);
        EXPECT_TRUE(found == "old" || found == whole) << found.size();
    }
}

} // namespace
