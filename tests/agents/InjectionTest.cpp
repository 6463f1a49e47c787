#include "agents/AgentFileWriter.h"
#include "agents/Extraction.h"
#include "tests/agents/AgentTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A game folder with Objects, Images and Sounds, and one agent file in Objects.
struct Game {
    TemporaryFolder root;
    std::string objects = root.MakeDir("Objects");
    std::string images = root.MakeDir("Images");
    std::string sounds = root.MakeDir("Sounds");
    std::string agentPath = objects + "test.kiv";

    std::unique_ptr<CAgentFile> Save(const CAgentFileWriter& writer) const {
        writer.Save(agentPath);
        return std::make_unique<CAgentFile>(agentPath);
    }
};

std::unique_ptr<CAgentFile> SaveOne(const Game& game, const CAgent& agent) {
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    return game.Save(writer);
}

std::string ReadText(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> Scripts(const std::string& name) {
    const CAgent agent = MakeAgent(name);
    return {agent.m_scripts[0], agent.m_scripts[1], agent.m_installScript};
}

TEST(Injection, CountsDownTheQuantityAndStopsAtZero) {
    Game game;
    ScopedClock clock(1000);
    auto file = SaveOne(game, MakeAgent("ball", 3));
    CAgent& agent = *file->m_agents[0];
    RecordingLink link;
    for (int i = 0; i < 3; ++i) {
        clock.Set(1000 + i);
        agent.Inject(link.link, true);
    }
    EXPECT_EQ(link.sent.size(), 9u);
    EXPECT_EQ(agent.m_quantity, 0);
    const auto afterThree = ReadFileBytes(game.agentPath);
    const CAgentFile reread(game.agentPath);
    EXPECT_EQ(reread.m_agents[0]->m_quantity, 0);
    EXPECT_EQ(reread.m_agents[0]->m_lastUsed, 1002u);
    EXPECT_FALSE(agent.IsAvailable());

    agent.Inject(link.link, true);
    EXPECT_EQ(link.sent.size(), 9u);
    EXPECT_EQ(ReadFileBytes(game.agentPath), afterThree);

    // Without counting, the scripts go out whatever the account says.
    agent.Inject(link.link, false);
    EXPECT_EQ(std::vector<std::string>(link.sent.begin() + 9, link.sent.end()), Scripts("ball"));
    EXPECT_EQ(ReadFileBytes(game.agentPath), afterThree);
}

TEST(Injection, UnlimitedQuantityStaysAndTheTimeIsStamped) {
    Game game;
    ScopedClock clock(5000);
    auto file = SaveOne(game, MakeAgent("tap", CAgent::kUnlimited));
    RecordingLink link;
    file->m_agents[0]->Inject(link.link, true);
    clock.Set(6000);
    file->m_agents[0]->Inject(link.link, true);
    EXPECT_EQ(link.sent.size(), 6u);
    const CAgentFile reread(game.agentPath);
    EXPECT_EQ(reread.m_agents[0]->m_quantity, CAgent::kUnlimited);
    EXPECT_EQ(reread.m_agents[0]->m_lastUsed, 6000u);
}

TEST(Injection, WaitsOutTheReuseIntervalEvenWhenTheClockGoesBack) {
    Game game;
    const std::uint32_t start = 1'700'000'000;
    ScopedClock clock(start);
    auto file = SaveOne(game, MakeAgent("slow", 5, 3600));
    CAgent& agent = *file->m_agents[0];
    RecordingLink link;
    agent.Inject(link.link, true);
    clock.Set(start + 10);
    EXPECT_EQ(agent.TimeUntilAvailable(), 3590);
    EXPECT_FALSE(agent.IsAvailable());
    agent.Inject(link.link, true);
    EXPECT_EQ(link.sent.size(), 3u);
    EXPECT_EQ(agent.m_quantity, 4);

    clock.Set(start + 3600);
    EXPECT_EQ(agent.TimeUntilAvailable(), 0);
    EXPECT_TRUE(agent.IsAvailable());
    clock.Set(start + 100000);
    EXPECT_EQ(agent.TimeUntilAvailable(), 0);

    clock.Set(start - 100);
    EXPECT_EQ(agent.TimeUntilAvailable(), 3700);
    agent.m_quantity = 0;
    clock.Set(start + 3600);
    EXPECT_FALSE(agent.IsAvailable());
}

TEST(Injection, ChangesOnlyTheSixUsageBytesOfItsOwnChunk) {
    Game game;
    ScopedClock clock(0x0A0B0C0D);
    CAgentFileWriter writer;
    writer.AddAgent(MakeAgent("first", 9));
    writer.AddCarriedFile(1, "s.wav", Bytes("sound"));
    writer.AddAgent(MakeAgent("second", 2));
    auto file = game.Save(writer);
    const auto before = ReadFileBytes(game.agentPath);
    RecordingLink link;
    CAgent& second = *file->m_agents[1];
    second.Inject(link.link, true);
    auto expected = before;
    const std::size_t data = second.m_chunkOffset + 8;
    const std::uint8_t usage[] = {1, 0, 0x0D, 0x0C, 0x0B, 0x0A};
    std::copy(std::begin(usage), std::end(usage), expected.begin() + static_cast<long>(data));
    EXPECT_EQ(ReadFileBytes(game.agentPath), expected);
}

TEST(Injection, ARefusedMacroLeavesTheUsageUncounted) {
    Game game;
    auto file = SaveOne(game, MakeAgent("ball", 3));
    CAgent& agent = *file->m_agents[0];
    const auto before = ReadFileBytes(game.agentPath);
    RecordingLink link;
    link.transport->m_refused = {agent.m_scripts[1]};
    EXPECT_EQ(MessageOf([&] { agent.Inject(link.link, true); }),
              "Error while talking to game\nMacro: \"" + agent.m_scripts[1] + "\"");
    EXPECT_EQ(link.sent.size(), 1u + CGameLink::kMaxAttempts);
    EXPECT_EQ(link.sent.back(), agent.m_scripts[1]);
    EXPECT_EQ(agent.m_quantity, 3);
    EXPECT_EQ(ReadFileBytes(game.agentPath), before);
}

TEST(Injection, WriteBackRefusesAFileThatChangedUnderneath) {
    Game game;
    ScopedClock clock(777);
    auto file = SaveOne(game, MakeAgent("ball", 3));
    CAgentFileWriter replaced;
    replaced.AddCarriedFile(0, "x.s16", std::vector<std::uint8_t>(100, 1));
    replaced.AddAgent(MakeAgent("ball", 3));
    replaced.Save(game.agentPath);
    RecordingLink link;
    CAgent& agent = *file->m_agents[0];
    EXPECT_EQ(MessageOf([&] { agent.Inject(link.link, true); }), "Error: unexpected file format");
    EXPECT_EQ(link.sent, Scripts("ball"));
    EXPECT_EQ(agent.m_quantity, 2);
    EXPECT_EQ(agent.m_lastUsed, 777u);
    EXPECT_EQ(ReadFileBytes(game.agentPath), replaced.Bytes());

    fs::remove(game.agentPath);
    EXPECT_EQ(MessageOf([&] { agent.RecordUsage(); }),
              "Error writing to file \"" + game.agentPath + "\"");
    EXPECT_FALSE(fs::exists(game.agentPath));
}

TEST(Injection, RemoveSendsOnlyANonEmptyRemovalScript) {
    CAgent agent = MakeAgent("ball");
    RecordingLink link;
    agent.Remove(link.link);
    EXPECT_EQ(link.sent, std::vector<std::string>{agent.m_removeScript});
    agent.m_removeScript.clear();
    agent.Remove(link.link);
    EXPECT_EQ(link.sent.size(), 1u);
}

// An agent needing image "abcd.s16" (carried, 6 bytes) and sound "zap.wav"
// (carried), saved in the game's Objects folder.
std::unique_ptr<CAgentFile> SaveWithPictures(const Game& game) {
    CAgent agent = MakeAgent("ball");
    AddReference(agent, 0, "abcd.s16");
    AddReference(agent, 1, "zap.wav");
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddCarriedFile(0, "abcd.s16", Bytes("IMAGE!"));
    writer.AddCarriedFile(1, "zap.wav", Bytes("SOUND"));
    return game.Save(writer);
}

void InjectAction(const Game& game, CAgent& agent, RecordingLink& link) {
    agent.InstallDependencies(game.images, game.sounds, link.link);
    agent.Inject(link.link, true);
}

TEST(Injection, WritesMissingOrResizedFilesAndConvertsNewImagesFirst) {
    Game game;
    auto file = SaveWithPictures(game);
    CAgent& agent = *file->m_agents[0];
    RecordingLink link;
    InjectAction(game, agent, link);
    std::vector<std::string> expected{"inst,sys: conv abcd 0,endm"};
    for (const auto& script : Scripts("ball")) {
        expected.push_back(script);
    }
    EXPECT_EQ(link.sent, expected);
    EXPECT_EQ(ReadText(game.images + "abcd.s16"), "IMAGE!");
    EXPECT_EQ(ReadText(game.sounds + "zap.wav"), "SOUND");
    EXPECT_EQ(fs::status(game.images + "abcd.s16").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);

    // Present with the carried size: kept as it is, whatever it holds.
    WriteFileBytes(game.images + "abcd.s16", Bytes("same 6"));
    RecordingLink second;
    agent.InstallDependencies(game.images, game.sounds, second.link);
    EXPECT_TRUE(second.sent.empty());
    EXPECT_EQ(ReadText(game.images + "abcd.s16"), "same 6");

    // Present with another size: replaced and converted again; sounds never are.
    WriteFileBytes(game.images + "abcd.s16", Bytes("old"));
    WriteFileBytes(game.sounds + "zap.wav", Bytes("old sound"));
    RecordingLink third;
    agent.InstallDependencies(game.images, game.sounds, third.link);
    EXPECT_EQ(third.sent, std::vector<std::string>{"inst,sys: conv abcd 0,endm"});
    EXPECT_EQ(ReadText(game.images + "abcd.s16"), "IMAGE!");
    EXPECT_EQ(ReadText(game.sounds + "zap.wav"), "SOUND");
    EXPECT_EQ(fs::directory_iterator(game.images)->path().filename(), "abcd.s16");
}

TEST(Injection, KeepsAFileThatCannotBeDeleted) {
    Game game;
    auto file = SaveWithPictures(game);
    fs::create_directory(game.images + "abcd.s16"); // unlink refuses a directory
    RecordingLink link;
    file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_TRUE(fs::is_directory(game.images + "abcd.s16"));
    EXPECT_EQ(ReadText(game.sounds + "zap.wav"), "SOUND");
}

TEST(Injection, ReportsMissingFilesAndUnknownTypesAfterTheEarlierReferences) {
    Game game;
    CAgent agent = MakeAgent("ball");
    AddReference(agent, 0, "here.s16");
    AddReference(agent, 0, "gone.s16");
    AddReference(agent, 0, "extra.s16");
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddCarriedFile(0, "here.s16", Bytes("h"));
    auto file = game.Save(writer);
    WriteFileBytes(game.images + "extra.s16", Bytes("not carried, kept"));
    RecordingLink link;
    CAgent& loaded = *file->m_agents[0];
    EXPECT_EQ(MessageOf([&] { loaded.InstallDependencies(game.images, game.sounds, link.link); }),
              "A required file is missing: \"" + game.images + "gone.s16\"");
    EXPECT_EQ(link.sent, std::vector<std::string>{"inst,sys: conv here 0,endm"});

    loaded.m_dependencies[1] = AgentDependencyRef{0, "extra.s16"};
    loaded.m_dependencies[2] = AgentDependencyRef{2, "x.bin"};
    EXPECT_EQ(MessageOf([&] { loaded.InstallDependencies(game.images, game.sounds, link.link); }),
              "Error: unexpected file format");
    EXPECT_EQ(ReadText(game.images + "extra.s16"), "not carried, kept");
}

TEST(Injection, MatchesNamesIgnoringCaseAndWritesThemInUtf8) {
    Game game;
    CAgent agent = MakeAgent("ball");
    AddReference(agent, 1, "CAF\xC9.WAV");
    AddReference(agent, 0, "ab");
    CAgentFileWriter writer;
    writer.AddAgent(agent);
    writer.AddCarriedFile(1, "caf\xE9.wav", Bytes("music"));
    writer.AddCarriedFile(0, "AB", Bytes("img"));
    auto file = game.Save(writer);
    const CAgent& loaded = *file->m_agents[0];
    EXPECT_EQ(loaded.FindDependencyFile(1, "Caf\xC9.wav"), file->m_dependencies[0].get());
    EXPECT_EQ(loaded.FindDependencyFile(0, "caf\xE9.wav"), nullptr);

    RecordingLink link;
    loaded.InstallDependencies(game.images, game.sounds, link.link);
    EXPECT_EQ(ReadText(game.sounds + "caf\xC3\xA9.wav"), "music");
    EXPECT_EQ(ReadText(game.images + "AB"), "img");
    EXPECT_EQ(link.sent, std::vector<std::string>{"inst,sys: conv ab 0,endm"});

    // Found again under the record's name: not rewritten, not converted again.
    RecordingLink again;
    loaded.InstallDependencies(game.images, game.sounds, again.link);
    EXPECT_TRUE(again.sent.empty());
}

std::vector<std::string> EverythingUnder(const std::string& root) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A folder from a system that ignores case: the file already there is the one
// compared and, when its size differs, replaced under its own name.
TEST(Injection, AnInstalledFileSpelledInAnotherCaseIsComparedAndReplacedInPlace) {
    struct Case {
        const char* image;
        const char* sound;
        const char* imageAfter;
        std::vector<std::string> sent;
    };
    const Case cases[] = {
        {"same 6", "SOUND", "same 6", {}},
        {"old", "old sound", "IMAGE!", {"inst,sys: conv abcd 0,endm"}},
    };
    for (const auto& c : cases) {
        Game game;
        auto file = SaveWithPictures(game);
        WriteFileBytes(game.images + "ABCD.S16", Bytes(c.image));
        WriteFileBytes(game.sounds + "Zap.WAV", Bytes(c.sound));
        RecordingLink link;
        file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
        EXPECT_EQ(link.sent, c.sent) << c.image;
        EXPECT_EQ(EverythingUnder(game.images), std::vector{game.images + "ABCD.S16"});
        EXPECT_EQ(EverythingUnder(game.sounds), std::vector{game.sounds + "Zap.WAV"});
        EXPECT_EQ(ReadText(game.images + "ABCD.S16"), c.imageAfter);
        EXPECT_EQ(ReadText(game.sounds + "Zap.WAV"), "SOUND");
    }
}

TEST(Injection, NeverWritesOutsideTheTargetFolders) {
    const std::vector<std::string> hostile = {
        "../victim.txt", "../../x", "/etc/x",   "a\\b",  "", "..", ".",
        "tab\tname",     "C:x",     "bell\x07", "x\x81y"};
    for (const auto& name : hostile) {
        Game game;
        CAgent agent = MakeAgent("ball");
        AddReference(agent, 0, name);
        CAgentFileWriter writer;
        writer.AddAgent(agent);
        writer.AddCarriedFile(0, name, Bytes("evil"));
        auto file = game.Save(writer);
        WriteFileBytes(game.root.Path("victim.txt"), Bytes("of another size"));
        const auto before = EverythingUnder(game.root.Dir());
        RecordingLink link;
        CAgent& loaded = *file->m_agents[0];
        EXPECT_EQ(MessageOf([&] { InjectAction(game, loaded, link); }),
                  "Error: unexpected file format")
            << name;
        EXPECT_EQ(MessageOf([&] { ExtractCarriedFile(*file->m_dependencies[0], game.images); }),
                  "Error: unexpected file format");
        EXPECT_EQ(EverythingUnder(game.root.Dir()), before) << name;
        EXPECT_TRUE(link.sent.empty());
    }
    EXPECT_FALSE(fs::exists("/etc/x"));
}

TEST(Injection, ReplacesAPlantedLinkInsteadOfWritingThroughIt) {
    Game game;
    auto file = SaveWithPictures(game);
    const std::string outside = game.root.Path("outside.txt");
    WriteFileBytes(outside, Bytes("precious"));
    fs::create_symlink(outside, game.images + "abcd.s16");
    fs::create_symlink(game.root.Path("nowhere.txt"), game.sounds + "zap.wav");
    RecordingLink link;
    file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
    EXPECT_EQ(ReadText(outside), "precious");
    EXPECT_FALSE(fs::exists(game.root.Path("nowhere.txt")));
    EXPECT_FALSE(fs::is_symlink(game.images + "abcd.s16"));
    EXPECT_EQ(ReadText(game.images + "abcd.s16"), "IMAGE!");
    EXPECT_FALSE(fs::is_symlink(game.sounds + "zap.wav"));
    EXPECT_EQ(ReadText(game.sounds + "zap.wav"), "SOUND");
}

TEST(Injection, AFailedExtractionLeavesNoFileBehind) {
    Game game;
    auto file = SaveWithPictures(game);
    auto bytes = ReadFileBytes(game.agentPath);
    bytes.resize(bytes.size() - 2); // the sound's last bytes are gone
    WriteFileBytes(game.agentPath, bytes);
    RecordingLink link;
    EXPECT_EQ(MessageOf([&] {
                  file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
              }),
              "Error reading from file \"" + game.agentPath + "\"");
    EXPECT_TRUE(fs::is_empty(game.sounds));
    EXPECT_EQ(EverythingUnder(game.images), std::vector<std::string>{game.images + "abcd.s16"});

    EXPECT_EQ(MessageOf([&] {
                  ExtractCarriedFile(*file->m_dependencies[0], game.root.Path("no/such/dir/"));
              }),
              "Error reading from file \"" + game.agentPath + "\"");
}

} // namespace
