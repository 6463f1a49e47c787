#include "agents/AgentFileWriter.h"
#include "agents/Extraction.h"
#include "gamelink/GameLink.h"
#include "tests/support/AgentFiles.h"
#include "tests/support/Caught.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Records every macro sent and refuses those the test names.
class RecordingTransport : public IMacroTransport {
public:
    explicit RecordingTransport(std::vector<std::string>& sent) : m_sent(sent) {}
    bool Connect() override { return true; }
    void Disconnect() override {}
    bool IsConnected() const override { return true; }
    MacroCallResult Call(std::string_view macro) override {
        m_sent.emplace_back(macro);
        const bool refused =
            std::find(m_refused.begin(), m_refused.end(), macro) != m_refused.end();
        return MacroCallResult{true, !refused, ""};
    }

    std::vector<std::string> m_refused;

private:
    std::vector<std::string>& m_sent;
};

// A link over a recording transport whose retries do not wait.
struct RecordingLink {
    std::vector<std::string> sent;
    RecordingTransport* transport = new RecordingTransport(sent);
    CGameLink link{std::unique_ptr<IMacroTransport>(transport), [](std::chrono::milliseconds) {}};
};

// A game folder with Objects, Images and Sounds, and one agent file in Objects.
struct Game {
    TempDir root;
    std::string objects = Dir("Objects");
    std::string images = Dir("Images");
    std::string sounds = Dir("Sounds");
    std::string agentPath = objects + "test.kiv";

    std::string Dir(const char* name) const {
        fs::create_directory(root / name);
        return (root / name).string() + "/";
    }
    std::unique_ptr<CAgentFile> Save(const std::vector<AgentDraft>& agents,
                                     const std::vector<CarriedDraft>& carried = {}) const {
        SaveAgentFile(agentPath, agents, carried);
        return std::make_unique<CAgentFile>(agentPath);
    }
    // "ball" needs image "abcd.s16" and sound "zap.wav", both carried.
    std::unique_ptr<CAgentFile> SaveBall() const {
        return Save({{"ball", CAgent::kUnlimited, 0, {{0, "abcd.s16"}, {1, "zap.wav"}}}},
                    {{0, "abcd.s16", "IMAGE!"}, {1, "zap.wav", "SOUND"}});
    }
    std::string Read(const std::string& path) const { return root.Read(path); }
    void Write(const std::string& path, std::string_view text) const { root.Write(path, text); }
};

const std::string kConvertAbcd = "inst,sys: conv abcd 0,endm";

std::vector<std::string> Scripts(const std::string& name) {
    const CAgent agent = MakeAgent({name});
    return {agent.m_scripts[0], agent.m_installScript};
}

// Everything below `game`'s root but the agent files, one entry a line:
// "path: contents" for a file, "path/" for a folder, "path -> target" for a link.
std::vector<std::string> Listing(const Game& game) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(game.root.Path())) {
        const std::string path = fs::relative(entry.path(), game.root.Path()).string();
        if (entry.is_symlink()) {
            found.push_back(path + " -> " + fs::read_symlink(entry.path()).string());
        } else if (entry.is_directory()) {
            found.push_back(path + "/");
        } else if (path.rfind("Objects/", 0) != 0) {
            found.push_back(path + ": " + game.Read(entry.path()));
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Makes the entries of a listing.
void Plant(const Game& game, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const auto link = entry.find(" -> ");
        const auto colon = entry.find(": ");
        if (entry.back() == '/') {
            fs::create_directory(game.root / entry);
        } else if (link != std::string::npos) {
            fs::create_symlink(entry.substr(link + 4), game.root / entry.substr(0, link));
        } else {
            game.Write(game.root / entry.substr(0, colon), entry.substr(colon + 2));
        }
    }
}

TEST(Injection, CountsUsesDownToZeroUnlessUnlimitedAndStampsTheTime) {
    const std::pair<std::uint16_t, std::uint16_t> quantities[] = {
        {3, 0}, {CAgent::kUnlimited, CAgent::kUnlimited}};
    for (const auto& [quantity, left] : quantities) {
        SCOPED_TRACE(quantity);
        const Game game;
        ScopedClock clock(1000);
        auto file = game.Save({{"ball", quantity}});
        CAgent& agent = *file->m_agents[0];
        RecordingLink link;
        for (std::uint32_t i = 0; i < 3; ++i) {
            clock.Set(1000 + i);
            agent.Inject(link.link, true);
        }
        EXPECT_EQ(link.sent.size(), 6u);
        EXPECT_EQ(agent.m_quantity, left);
        EXPECT_EQ(StoredUsage(game.agentPath, 0), std::pair(left, std::uint32_t{1002}));
        EXPECT_EQ(agent.IsAvailable(), left != 0);
    }

    // Used up: a counted injection sends nothing; an uncounted one sends the
    // scripts whatever the account says; neither touches the file.
    const Game game;
    auto file = game.Save({{"ball", 0}});
    const std::string before = game.Read(game.agentPath);
    RecordingLink link;
    file->m_agents[0]->Inject(link.link, true);
    EXPECT_TRUE(link.sent.empty());
    file->m_agents[0]->Inject(link.link, false);
    EXPECT_EQ(link.sent, Scripts("ball"));
    EXPECT_EQ(game.Read(game.agentPath), before);
}

TEST(Injection, WaitsOutTheReuseIntervalEvenWhenTheClockGoesBack) {
    const Game game;
    const std::uint32_t start = 1'700'000'000;
    ScopedClock clock(start);
    auto file = game.Save({{"slow", 5, 3600}});
    CAgent& agent = *file->m_agents[0];
    RecordingLink link;
    agent.Inject(link.link, true);
    clock.Set(start + 10);
    EXPECT_EQ(agent.TimeUntilAvailable(), 3590);
    EXPECT_FALSE(agent.IsAvailable());
    agent.Inject(link.link, true);
    EXPECT_EQ(link.sent.size(), 2u);
    EXPECT_EQ(agent.m_quantity, 4);

    const std::pair<std::uint32_t, std::int32_t> waits[] = {
        {start + 3600, 0}, {start + 100000, 0}, {start - 100, 3700}};
    for (const auto& [now, wait] : waits) {
        clock.Set(now);
        EXPECT_EQ(agent.TimeUntilAvailable(), wait) << now;
        EXPECT_EQ(agent.IsAvailable(), wait == 0) << now;
    }
    agent.m_quantity = 0;
    clock.Set(start + 3600);
    EXPECT_FALSE(agent.IsAvailable());
}

TEST(Injection, ChangesOnlyTheSixUsageBytesOfItsOwnChunk) {
    const Game game;
    ScopedClock clock(0x0A0B0C0D);
    auto file = game.Save({{"first", 9}, {"second", 2}}, {{1, "s.wav", "sound"}});
    std::string expected = game.Read(game.agentPath);
    RecordingLink link;
    CAgent& second = *file->m_agents[1];
    second.Inject(link.link, true);
    expected.replace(second.m_chunkOffset + 8, 6, "\x01\x00\x0D\x0C\x0B\x0A", 6);
    EXPECT_EQ(game.Read(game.agentPath), expected);
}

TEST(Injection, ARefusedMacroLeavesTheUsageUncounted) {
    const Game game;
    auto file = game.Save({{"ball", 3}});
    CAgent& agent = *file->m_agents[0];
    const std::string before = game.Read(game.agentPath);
    RecordingLink link;
    link.transport->m_refused = {agent.m_installScript};
    EXPECT_EQ(CaughtMessage([&] { agent.Inject(link.link, true); }),
              "Error while talking to game\nMacro: \"" + agent.m_installScript + "\"");
    EXPECT_EQ(link.sent.size(), 1u + CGameLink::kMaxAttempts);
    EXPECT_EQ(link.sent.back(), agent.m_installScript);
    EXPECT_EQ(agent.m_quantity, 3);
    EXPECT_EQ(game.Read(game.agentPath), before);
}

TEST(Injection, WriteBackRefusesAFileThatChangedUnderneath) {
    const Game game;
    ScopedClock clock(777);
    auto file = game.Save({{"ball", 3}});
    CAgentFileWriter replaced;
    replaced.AddCarriedFile(0, "x.s16", std::vector<std::uint8_t>(100, 1));
    replaced.AddAgent(MakeAgent({"ball", 3}));
    replaced.Save(game.agentPath);
    RecordingLink link;
    CAgent& agent = *file->m_agents[0];
    EXPECT_EQ(CaughtMessage([&] { agent.Inject(link.link, true); }),
              "Error: unexpected file format");
    EXPECT_EQ(link.sent, Scripts("ball"));
    EXPECT_EQ(std::pair(agent.m_quantity, agent.m_lastUsed),
              std::pair(std::uint16_t{2}, std::uint32_t{777}));
    EXPECT_EQ(Bytes(game.Read(game.agentPath)), replaced.Bytes());

    fs::remove(game.agentPath);
    EXPECT_EQ(CaughtMessage([&] { agent.RecordUsage(); }),
              "Error writing to file \"" + game.agentPath + "\"");
    EXPECT_FALSE(fs::exists(game.agentPath));
}

TEST(Injection, RemoveSendsOnlyANonEmptyRemovalScript) {
    CAgent agent = MakeAgent({"ball"});
    RecordingLink link;
    agent.Remove(link.link);
    EXPECT_EQ(link.sent, std::vector<std::string>{agent.m_removeScript});
    agent.m_removeScript.clear();
    agent.Remove(link.link);
    EXPECT_EQ(link.sent.size(), 1u);
}

TEST(Injection, InstallsMissingOrResizedFilesInPlaceAndConvertsImagesItWrites) {
    struct Case {
        const char* what;
        std::vector<std::string> before;
        std::vector<std::string> sent;
        std::vector<std::string> after;
    };
    const std::vector<std::string> installed = {"Images/", "Images/abcd.s16: IMAGE!", "Objects/",
                                                "Sounds/", "Sounds/zap.wav: SOUND"};
    const Case cases[] = {
        {"nothing there", {}, {kConvertAbcd}, installed},
        {"present with the carried size, whatever it holds",
         {"Images/abcd.s16: same 6", "Sounds/zap.wav: old sound"},
         {},
         {"Images/", "Images/abcd.s16: same 6", "Objects/", "Sounds/", "Sounds/zap.wav: SOUND"}},
        {"present with another size", {"Images/abcd.s16: old"}, {kConvertAbcd}, installed},
        {"spelled in another case, with the carried size",
         {"Images/ABCD.S16: same 6", "Sounds/Zap.WAV: SOUND"},
         {},
         {"Images/", "Images/ABCD.S16: same 6", "Objects/", "Sounds/", "Sounds/Zap.WAV: SOUND"}},
        {"spelled in another case, with another size",
         {"Images/ABCD.S16: old", "Sounds/Zap.WAV: old sound"},
         {kConvertAbcd},
         {"Images/", "Images/ABCD.S16: IMAGE!", "Objects/", "Sounds/", "Sounds/Zap.WAV: SOUND"}},
        {"a folder that cannot be deleted is kept",
         {"Images/abcd.s16/"},
         {},
         {"Images/", "Images/abcd.s16/", "Objects/", "Sounds/", "Sounds/zap.wav: SOUND"}},
        {"planted links are replaced, never written through",
         {"outside.txt: precious", "Images/abcd.s16 -> ../outside.txt",
          "Sounds/zap.wav -> ../nowhere.txt"},
         {kConvertAbcd},
         {"Images/", "Images/abcd.s16: IMAGE!", "Objects/", "Sounds/", "Sounds/zap.wav: SOUND",
          "outside.txt: precious"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Game game;
        auto file = game.SaveBall();
        Plant(game, c.before);
        RecordingLink link;
        file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
        EXPECT_EQ(link.sent, c.sent);
        EXPECT_EQ(Listing(game), c.after);
    }

    const Game game;
    auto file = game.SaveBall();
    RecordingLink link;
    file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
    EXPECT_EQ(fs::status(game.images + "abcd.s16").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST(Injection, ReportsMissingFilesAndUnknownTypesAfterTheEarlierReferences) {
    const Game game;
    auto file = game.Save({{"ball", 1, 0, {{0, "here.s16"}, {0, "gone.s16"}, {0, "extra.s16"}}}},
                          {{0, "here.s16", "h"}});
    game.Write(game.images + "extra.s16", "not carried, kept");
    RecordingLink link;
    CAgent& agent = *file->m_agents[0];
    const auto install = [&] { agent.InstallDependencies(game.images, game.sounds, link.link); };
    EXPECT_EQ(CaughtMessage(install),
              "A required file is missing: \"" + game.images + "gone.s16\"");
    EXPECT_EQ(link.sent, std::vector<std::string>{"inst,sys: conv here 0,endm"});

    agent.m_dependencies[1] = AgentDependencyRef{0, "extra.s16"};
    agent.m_dependencies[2] = AgentDependencyRef{2, "x.bin"};
    EXPECT_EQ(CaughtMessage(install), "Error: unexpected file format");
    EXPECT_EQ(game.Read(game.images + "extra.s16"), "not carried, kept");
}

TEST(Injection, MatchesNamesIgnoringCaseAndWritesThemInUtf8) {
    const Game game;
    auto file = game.Save({{"ball", 1, 0, {{1, "CAF\xC9.WAV"}, {0, "ab"}}}},
                          {{1, "caf\xE9.wav", "music"}, {0, "AB", "img"}});
    const CAgent& agent = *file->m_agents[0];
    EXPECT_EQ(agent.FindDependencyFile(1, "Caf\xC9.wav"), file->m_dependencies[0].get());
    EXPECT_EQ(agent.FindDependencyFile(0, "caf\xE9.wav"), nullptr);

    RecordingLink link;
    agent.InstallDependencies(game.images, game.sounds, link.link);
    EXPECT_EQ(game.Read(game.sounds + "caf\xC3\xA9.wav"), "music");
    EXPECT_EQ(game.Read(game.images + "AB"), "img");
    EXPECT_EQ(link.sent, std::vector<std::string>{"inst,sys: conv ab 0,endm"});

    // Found again under the record's name: not rewritten, not converted again.
    RecordingLink again;
    agent.InstallDependencies(game.images, game.sounds, again.link);
    EXPECT_TRUE(again.sent.empty());
}

TEST(Injection, NeverWritesOutsideTheTargetFolders) {
    for (const std::string name : {"../victim.txt", "../../x", "/etc/x", "a\\b", "", "..", ".",
                                   "tab\tname", "C:x", "bell\x07", "x\x81y"}) {
        SCOPED_TRACE(name);
        const Game game;
        auto file = game.Save({{"ball", 1, 0, {{0, name}}}}, {{0, name, "evil"}});
        game.Write((game.root / "victim.txt").string(), "of another size");
        const auto before = Listing(game);
        RecordingLink link;
        CAgent& agent = *file->m_agents[0];
        EXPECT_EQ(CaughtMessage([&] {
                      agent.InstallDependencies(game.images, game.sounds, link.link);
                      agent.Inject(link.link, true);
                  }),
                  "Error: unexpected file format");
        EXPECT_EQ(CaughtMessage([&] { ExtractCarriedFile(*file->m_dependencies[0], game.images); }),
                  "Error: unexpected file format");
        EXPECT_EQ(Listing(game), before);
        EXPECT_TRUE(link.sent.empty());
    }
    EXPECT_FALSE(fs::exists("/etc/x"));
}

TEST(Injection, AFailedExtractionLeavesNoFileBehind) {
    const Game game;
    auto file = game.SaveBall();
    fs::resize_file(game.agentPath, fs::file_size(game.agentPath) - 2); // the sound's end is gone
    RecordingLink link;
    const std::string unreadable = "Error reading from file \"" + game.agentPath + "\"";
    EXPECT_EQ(CaughtMessage([&] {
                  file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
              }),
              unreadable);
    EXPECT_EQ(Listing(game), (std::vector<std::string>{"Images/", "Images/abcd.s16: IMAGE!",
                                                       "Objects/", "Sounds/"}));
    EXPECT_EQ(CaughtMessage([&] {
                  ExtractCarriedFile(*file->m_dependencies[0],
                                     (game.root / "no/such/dir/").string());
              }),
              unreadable);
}

} // namespace
