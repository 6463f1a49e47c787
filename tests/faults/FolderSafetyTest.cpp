// Carried files go into the game's Images and Sounds folders and nowhere
// else: not through a planted link, not around a folder's permissions.
#include "tests/faults/FaultChild.h"
#include "tests/faults/FaultGame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string OutsidePath(const FaultGame& game, const char* name) {
    return (game.environment.Root() / name).string();
}

TEST(FolderSafety, APlantedLinkIsReplacedNeverWrittenThrough) {
    FaultGame game;
    const std::string outside = OutsidePath(game, "outside.txt");
    WriteText(outside, "precious");
    fs::create_symlink(outside, game.Images() + "abcd.s16");
    fs::create_symlink(OutsidePath(game, "nowhere/zap.wav"), game.Sounds() + "zap.wav");

    EXPECT_EQ(RunFaultChild({"install", game.agentPath, game.Images(), game.Sounds()}),
              "macro: inst,sys: conv abcd 0,endm\ndone\n");
    EXPECT_EQ(FileText(outside), "precious");
    EXPECT_FALSE(fs::exists(OutsidePath(game, "nowhere")));
    EXPECT_EQ(Listing(game.Images()), std::vector<std::string>{game.Images() + "abcd.s16 " +
                                                               std::to_string(game.image.size())});
    EXPECT_EQ(FileText(game.Images() + "abcd.s16"), game.image);
    EXPECT_EQ(FileText(game.Sounds() + "zap.wav"), game.sound);

    // A link to a file of the carried size passes for the file: kept, and
    // nothing is written through it.
    fs::remove(game.Sounds() + "zap.wav");
    WriteText(outside, "12345");
    fs::create_symlink(outside, game.Sounds() + "zap.wav");
    EXPECT_EQ(RunFaultChild({"install", game.agentPath, game.Images(), game.Sounds()}), "done\n");
    EXPECT_EQ(FileText(outside), "12345");
    EXPECT_TRUE(fs::is_symlink(game.Sounds() + "zap.wav"));
}

TEST(FolderSafety, ReadOnlyFoldersAndFilesRefuseEveryWrite) {
    FaultGame game;
    const std::string outside = OutsidePath(game, "outside.txt");
    WriteText(outside, "precious");
    fs::create_symlink(outside, game.Sounds() + "zap.wav");
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec;
    fs::permissions(game.Images(), readOnly);
    fs::permissions(game.Sounds(), readOnly);
    const auto before = Listing(game.environment.Root().Path().string());

    EXPECT_EQ(RunFaultChild(
                  {"--obey-file-modes", "install", game.agentPath, game.Images(), game.Sounds()}),
              "message: Error reading from file \"" + game.agentPath + "\"\n");
    EXPECT_EQ(Listing(game.environment.Root().Path().string()), before);

    // The link of another size cannot be deleted from the read-only folder:
    // it is kept without a message, and its target stays as it was.
    WriteText(game.Images() + "abcd.s16", game.image);
    EXPECT_EQ(RunFaultChild(
                  {"--obey-file-modes", "install", game.agentPath, game.Images(), game.Sounds()}),
              "done\n");
    EXPECT_EQ(FileText(outside), "precious");

    fs::permissions(game.agentPath, fs::perms::owner_read);
    EXPECT_EQ(RunFaultChild({"--obey-file-modes", "inject", game.agentPath}),
              "macro: scrp 2 9 1 1,snde zap_,endm\n"
              "macro: scrp 2 9 1 2,endm\n"
              "macro: inst,new: simp ball 4 0 1000 0,endm\n"
              "message: Error writing to file \"" +
                  game.agentPath + "\"\n");
    EXPECT_EQ(FileBytes(game.agentPath), game.agentBytes);
}

} // namespace
