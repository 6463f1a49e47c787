// Writes cut short by a file size limit, as on a full disk: the old file stays
// whole, no partial or temporary file is left, and the message names the file.
#include "app/RegistryKey.h"
#include "tests/faults/FaultChild.h"
#include "tests/faults/FaultGame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Well below the carried image, above the carried sound.
const std::string kSmallLimit = "4096";

TEST(FileSizeLimit, ExtractionKeepsTheOldFileAndLeavesNothingHalfWritten) {
    FaultGame game;
    const std::string readError = "message: Error reading from file \"" + game.agentPath + "\"\n";
    WriteText(game.Images() + "abcd.s16", "old picture");
    const auto before = Listing(game.Images());

    EXPECT_EQ(RunFaultChild({"--file-size-limit", kSmallLimit, "extract", game.agentPath, "0",
                             game.Images()}),
              readError);
    EXPECT_EQ(Listing(game.Images()), before);
    EXPECT_EQ(FileText(game.Images() + "abcd.s16"), "old picture");

    // Missing files: the image fails before any conversion macro is sent and
    // before the sound is written.
    std::filesystem::remove(game.Images() + "abcd.s16");
    EXPECT_EQ(RunFaultChild({"--file-size-limit", kSmallLimit, "install", game.agentPath,
                             game.Images(), game.Sounds()}),
              readError);
    EXPECT_TRUE(std::filesystem::is_empty(game.Images()));
    EXPECT_TRUE(std::filesystem::is_empty(game.Sounds()));

    // The same limit lets the small sound through on its own.
    EXPECT_EQ(RunFaultChild({"--file-size-limit", kSmallLimit, "extract", game.agentPath, "1",
                             game.Sounds()}),
              "done\n");
    EXPECT_EQ(FileText(game.Sounds() + "zap.wav"), game.sound);
}

TEST(FileSizeLimit, UsageWriteBackLeavesTheAgentFileUnchanged) {
    FaultGame game;
    // Below the usage bytes' offset, so not one of them can be written.
    EXPECT_EQ(RunFaultChild({"--file-size-limit", "8", "inject", game.agentPath}),
              "macro: scrp 2 9 1 1,snde zap_,endm\n"
              "macro: scrp 2 9 1 2,endm\n"
              "macro: inst,new: simp ball 4 0 1000 0,endm\n"
              "message: Error writing to file \"" +
                  game.agentPath + "\"\n");
    EXPECT_EQ(FileBytes(game.agentPath), game.agentBytes);
}

TEST(FileSizeLimit, RegistryKeepsTheOldFileAndNoTemporaryFile) {
    FaultGame game;
    {
        CRegistryKey key;
        key.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
        key.WriteString("Tool8", "before");
    }
    const auto userFile = game.environment.RegistryFile("HKEY_CURRENT_USER").string();
    const auto bytes = FileBytes(userFile);
    const auto before = Listing(game.environment.RegistryDir().string());

    EXPECT_EQ(
        RunFaultChild({"--file-size-limit", "64", "write", "Tool8", std::string(1000, 'x'), "1"}),
        "writing\nmessage: Error while writing to registry\n");
    EXPECT_EQ(FileBytes(userFile), bytes);
    EXPECT_EQ(Listing(game.environment.RegistryDir().string()), before);
}

} // namespace
