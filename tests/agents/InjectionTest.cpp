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
        return MacroCallResult{true, std::ranges::find(m_refused, macro) == m_refused.end(), ""};
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
    std::string images = Dir("Images");
    std::string sounds = Dir("Sounds");
    std::string agentPath = Dir("Objects") + "test.kiv";

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

// Everything below `game`'s root but its three folders and the agent files, one
// entry a line: "path: contents" for a file, "path/" for a folder.
std::vector<std::string> Listing(const Game& game) {
    std::vector<std::string> found;
    for (auto entry = fs::recursive_directory_iterator(game.root.Path());
         entry != fs::recursive_directory_iterator(); ++entry) {
        const std::string path = fs::relative(entry->path(), game.root.Path()).string();
        if (entry->is_directory() && entry.depth() > 0) {
            found.push_back(path + "/");
        } else if (entry->is_regular_file() && path.rfind("Objects/", 0) != 0) {
            found.push_back(path + ": " + game.Read(entry->path()));
        }
    }
    std::ranges::sort(found);
    return found;
}

// Each use is written into the six usage bytes of the agent's own chunk, and
// nothing else of the file changes.
TEST(Injection, CountsUsesDownToZeroUnlessUnlimitedAndStampsTheTime) {
    const struct {
        std::uint16_t quantity;
        std::string usage; // after three uses, the last at 0x0A0B0C0F
    } cases[] = {{3, {"\0\0\x0F\x0C\x0B\x0A", 6}},
                 {CAgent::kUnlimited, "\xFF\xFF\x0F\x0C\x0B\x0A"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quantity);
        const Game game;
        ScopedClock clock(0);
        auto file = game.Save({{"first", 9}, {"ball", c.quantity}}, {{1, "s.wav", "sound"}});
        std::string expected = game.Read(game.agentPath);
        CAgent& agent = *file->m_agents[1];
        RecordingLink link;
        for (std::uint32_t i = 0; i < 3; ++i) {
            clock.Set(0x0A0B0C0D + i);
            agent.Inject(link.link, true);
        }
        EXPECT_EQ(link.sent.size(), 6u);
        EXPECT_EQ(game.Read(game.agentPath), expected.replace(agent.m_chunkOffset + 8, 6, c.usage));
        EXPECT_EQ(agent.m_quantity, c.quantity == 3 ? 0 : c.quantity);
        EXPECT_EQ(agent.IsAvailable(), c.quantity != 3);
    }
}

TEST(Injection, LeavesTheFileAloneWhenUsedUpRefusedRemovingOrWhenTheFileChanged) {
    const Game game;
    ScopedClock clock(777);
    auto file = game.Save({{"ball", 0}, {"kite", 3}});
    const std::string before = game.Read(game.agentPath);
    CAgent& usedUp = *file->m_agents[0];
    RecordingLink link;
    usedUp.Inject(link.link, true);
    EXPECT_TRUE(link.sent.empty());
    usedUp.Inject(link.link, false); // uncounted: sent whatever the account says
    EXPECT_EQ(link.sent, Scripts("ball"));

    CAgent& kite = *file->m_agents[1];
    link.transport->m_refused = {kite.m_installScript};
    EXPECT_EQ(CaughtMessage([&] { kite.Inject(link.link, true); }),
              "Error while talking to game\nMacro: \"" + kite.m_installScript + "\"");
    EXPECT_EQ(link.sent.size(), 3u + CGameLink::kMaxAttempts);
    EXPECT_EQ(kite.m_quantity, 3);

    // Only a removal script that is not empty is sent.
    link.sent.clear();
    kite.Remove(link.link);
    kite.m_removeScript.clear();
    kite.Remove(link.link);
    EXPECT_EQ(link.sent, std::vector<std::string>{"rscr,kill kite,endm"});
    EXPECT_EQ(game.Read(game.agentPath), before);

    // A file changed since it was read is not written; the use counts in memory.
    CAgentFileWriter replaced;
    replaced.AddCarriedFile(0, "x.s16", std::vector<std::uint8_t>(100, 1));
    replaced.AddAgent(MakeAgent({"kite", 3}));
    replaced.Save(game.agentPath);
    link.transport->m_refused.clear();
    link.sent.clear();
    EXPECT_EQ(CaughtMessage([&] { kite.Inject(link.link, true); }),
              "Error: unexpected file format");
    EXPECT_EQ(link.sent, Scripts("kite"));
    EXPECT_EQ(std::tuple(kite.m_quantity, kite.m_lastUsed), std::tuple(2, 777u));
    EXPECT_EQ(Bytes(game.Read(game.agentPath)), replaced.Bytes());
    fs::remove(game.agentPath);
    EXPECT_EQ(CaughtMessage([&] { kite.RecordUsage(); }),
              "Error writing to file \"" + game.agentPath + "\"");
    EXPECT_FALSE(fs::exists(game.agentPath));
}

// A last use in the future, as after the clock went back, leaves more than the interval.
TEST(Injection, WaitsOutTheReuseIntervalEvenWhenTheClockGoesBack) {
    const Game game;
    const std::uint32_t start = 1'700'000'000;
    ScopedClock clock(start);
    auto file = game.Save({{"slow", 5, 3600}});
    CAgent& agent = *file->m_agents[0];
    RecordingLink link;
    agent.Inject(link.link, true);
    const std::pair<std::uint32_t, std::int32_t> waits[] = {
        {start + 3600, 0}, {start + 100000, 0}, {start - 100, 3700}, {start + 10, 3590}};
    for (const auto& [now, wait] : waits) {
        clock.Set(now);
        EXPECT_EQ(agent.TimeUntilAvailable(), wait) << now;
        EXPECT_EQ(agent.IsAvailable(), wait == 0) << now;
    }
    agent.Inject(link.link, true);
    EXPECT_EQ(std::tuple(link.sent.size(), agent.m_quantity), std::tuple(2u, 4));
    agent.m_quantity = 0;
    clock.Set(start + 3600);
    EXPECT_FALSE(agent.IsAvailable());
}

// Writing a missing file, keeping one of the carried size and replacing one of
// another size are met end to end by the inject command; planted links and
// files that cannot be deleted by the folder-safety fault tests.
TEST(Injection, FindsFilesInAnyCaseReplacesThemInPlaceAndWritesFilesAllCanRead) {
    struct Case {
        std::vector<std::string> before;
        std::vector<std::string> sent;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {{}, {kConvertAbcd}, {"Images/abcd.s16: IMAGE!", "Sounds/zap.wav: SOUND"}},
        {{"Images/ABCD.S16: same 6", "Sounds/Zap.WAV: SOUND"},
         {},
         {"Images/ABCD.S16: same 6", "Sounds/Zap.WAV: SOUND"}},
        {{"Images/ABCD.S16: old", "Sounds/Zap.WAV: old sound"},
         {kConvertAbcd},
         {"Images/ABCD.S16: IMAGE!", "Sounds/Zap.WAV: SOUND"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const Game game;
        auto file = game.SaveBall();
        for (const std::string& entry : c.before) {
            const auto colon = entry.find(": ");
            game.Write(game.root / entry.substr(0, colon), entry.substr(colon + 2));
        }
        RecordingLink link;
        file->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
        EXPECT_EQ(link.sent, c.sent);
        EXPECT_EQ(Listing(game), c.after);
    }
    const Game game;
    RecordingLink link;
    game.SaveBall()->m_agents[0]->InstallDependencies(game.images, game.sounds, link.link);
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
    EXPECT_EQ(Listing(game),
              (std::vector<std::string>{"Images/AB: img", "Sounds/caf\xC3\xA9.wav: music"}));
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
        RecordingLink link;
        CAgent& agent = *file->m_agents[0];
        EXPECT_EQ(CaughtMessage([&] {
                      agent.InstallDependencies(game.images, game.sounds, link.link);
                      agent.Inject(link.link, true);
                  }),
                  "Error: unexpected file format");
        EXPECT_EQ(CaughtMessage([&] { ExtractCarriedFile(*file->m_dependencies[0], game.images); }),
                  "Error: unexpected file format");
        EXPECT_EQ(Listing(game), std::vector<std::string>{"victim.txt: of another size"});
        EXPECT_TRUE(link.sent.empty());
    }
    EXPECT_FALSE(fs::exists("/etc/x"));
}

} // namespace
