// Writes cut short by a file size limit (as on a full disk) or refused by permissions: the old file
// stays whole, nothing partial is left, the message names the file, and nothing is written outside
// Images and Sounds. Memory that runs out is a message too.
#include "tests/faults/FaultGame.h"
#include "tests/support/ChemicalList.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::string RunLimited(const char* bytes, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--file-size-limit", bytes});
    return RunFaultChild(arguments);
}

TEST(FileSizeLimit, ACutWriteKeepsTheOldFileAndLeavesNothingHalfWritten) {
    FaultGame game;
    // Well below the carried image, above the carried sound.
    const char* const small = "4096";
    WriteFile(game.images + "abcd.s16", "old picture");
    const auto before = Listing(game.images);
    EXPECT_EQ(RunLimited(small, {"extract", game.agentPath, "0", game.images}),
              game.AgentFileError("reading from"));
    EXPECT_EQ(Listing(game.images), before);
    EXPECT_EQ(ReadFile(game.images + "abcd.s16"), "old picture");

    // Missing files: the image fails before its conversion macro and the sound.
    fs::remove(game.images + "abcd.s16");
    const std::vector<std::string> inject{"inject", game.agentPath, game.images, game.sounds};
    EXPECT_EQ(RunLimited(small, inject), game.AgentFileError("reading from"));
    EXPECT_TRUE(fs::is_empty(game.images));
    EXPECT_TRUE(fs::is_empty(game.sounds));

    EXPECT_EQ(RunLimited(small, {"extract", game.agentPath, "1", game.sounds}), "done\n");
    EXPECT_EQ(ReadFile(game.sounds + "zap.wav"), game.sound);

    // Below the usage bytes' offset, so not one of them can be written.
    WriteFile(game.images + "abcd.s16", game.image);
    EXPECT_EQ(RunLimited("8", inject), kBallInjectionMacros + game.AgentFileError("writing to"));
    EXPECT_EQ(ReadFile(game.agentPath), game.agentBytes);

    // A pack cut short leaves the author's file as it was, and nothing beside it.
    const auto manifest = game.environment.Root().Write(
        "pack/m.txt", "[agent]\nname = big\n\n[file]\ntype = image\npath = big.s16\n");
    WriteFile(manifest.parent_path() / "big.s16", game.image);
    WriteFile(manifest.parent_path() / "big.kiv", "previous");
    const auto pack = Listing(manifest.parent_path());
    // A coverage build's counters, written at exit under the limit, would be cut: they go aside.
    const std::string counters = (game.environment.Root() / "counters").string();
    EXPECT_EQ(std::system(("trap '' XFSZ; ulimit -f 64; GCOV_PREFIX='" + counters +
                           "' exec '" SB_BIN_DIR "/kivtool' pack '" + manifest.string() + "' -o '" +
                           manifest.parent_path().string() + "/big.kiv' 2>/dev/null")
                              .c_str()),
              1 << 8);
    EXPECT_EQ(Listing(manifest.parent_path()), pack);
    EXPECT_EQ(ReadFile(manifest.parent_path() / "big.kiv"), "previous");

    WriteUserValue("Tool8", "before");
    const auto userFile = game.environment.RegistryFile("HKEY_CURRENT_USER").string();
    const auto bytes = ReadFile(userFile);
    const auto registry = Listing(game.environment.RegistryDir());
    EXPECT_EQ(RunLimited("64", {"write", "Tool8", std::string(1000, 'x')}),
              "writing\nmessage: Error while writing to registry\n");
    EXPECT_EQ(ReadFile(userFile), bytes);
    EXPECT_EQ(Listing(game.environment.RegistryDir()), registry);
}

TEST(OutOfMemory, ExtractionAndTheChemicalListSayWhatFailed) {
    FaultGame game;
    WriteFile(game.folder / "allchemicals.str", Text(ChemicalList([](int) { return "x"; })));
    // Above everything but the copy's buffer and the list's.
    const std::vector<std::string> poor{"--fail-allocations-over", "100000"};
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"extract", game.agentPath, "0", game.images}, "Error allocating memory"},
        {{"chemicals", game.folder.string() + "/"}, "Error loading chemical list"},
    };
    for (const auto& [command, message] : cases) {
        auto limited = poor;
        limited.insert(limited.end(), command.begin(), command.end());
        EXPECT_EQ(RunFaultChild(limited), "message: " + message + "\n");
        EXPECT_TRUE(fs::is_empty(game.images));
        EXPECT_EQ(RunFaultChild(command), "done\n");
        fs::remove(game.images + "abcd.s16");
    }
}

TEST(FolderSafety, APlantedLinkIsReplacedNeverWrittenThrough) {
    FaultGame game;
    const fs::path nowhere = game.environment.Root() / "nowhere";
    WriteFile(game.outside, "precious");
    fs::create_symlink(game.outside, game.images + "abcd.s16");
    fs::create_symlink(nowhere / "zap.wav", game.sounds + "zap.wav");
    const std::vector<std::string> inject{"inject", game.agentPath, game.images, game.sounds};

    EXPECT_EQ(RunFaultChild(inject),
              "macro: inst,sys: conv abcd 0,endm\n" + kBallInjectionMacros + "done\n");
    EXPECT_EQ(ReadFile(game.outside), "precious");
    EXPECT_FALSE(fs::exists(nowhere));
    EXPECT_EQ(Listing(game.images),
              std::set<std::string>{game.images + "abcd.s16 " + std::to_string(game.image.size())});
    EXPECT_EQ(ReadFile(game.images + "abcd.s16"), game.image);
    EXPECT_EQ(ReadFile(game.sounds + "zap.wav"), game.sound);

    // A link to a file of the carried size passes for the file: kept, and
    // nothing is written through it.
    fs::remove(game.sounds + "zap.wav");
    WriteFile(game.outside, "12345");
    fs::create_symlink(game.outside, game.sounds + "zap.wav");
    EXPECT_EQ(RunFaultChild(inject), kBallInjectionMacros + "done\n");
    EXPECT_EQ(ReadFile(game.outside), "12345");
    EXPECT_TRUE(fs::is_symlink(game.sounds + "zap.wav"));
}

TEST(FolderSafety, ReadOnlyFoldersAndFilesRefuseEveryWrite) {
    FaultGame game;
    WriteFile(game.outside, "precious");
    fs::create_symlink(game.outside, game.sounds + "zap.wav");
    for (const auto& folder : {game.images, game.sounds}) {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    }
    const auto before = Listing(game.environment.Root().Path());
    const std::vector<std::string> inject{"--obey-file-modes", "inject", game.agentPath,
                                          game.images, game.sounds};

    EXPECT_EQ(RunFaultChild(inject), game.AgentFileError("reading from"));
    EXPECT_EQ(Listing(game.environment.Root().Path()), before);

    // The link of another size cannot be replaced in the read-only folder: it
    // is kept without a message, and its target stays as it was.
    WriteFile(game.images + "abcd.s16", game.image);
    EXPECT_EQ(RunFaultChild(inject), kBallInjectionMacros + "done\n");
    EXPECT_EQ(ReadFile(game.outside), "precious");

    // Uses that cannot be written stay counted, though the file is read again
    // before each injection: two are left, then none.
    fs::permissions(game.agentPath, fs::perms::owner_read);
    const std::string bytes = ReadFile(game.agentPath);
    auto thrice = inject;
    thrice.push_back("3");
    const std::string unwritten = kBallInjectionMacros + game.AgentFileError("writing to");
    EXPECT_EQ(RunFaultChild(thrice),
              unwritten + unwritten + "message: \"ball\" cannot be injected: no uses are left\n");
    EXPECT_EQ(ReadFile(game.agentPath), bytes);
    EXPECT_EQ(StoredUsage(game.agentPath, 0).first, 2);
}

} // namespace
