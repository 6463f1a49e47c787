#include "tests/support/AgentFiles.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/Kivtool.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);

constexpr std::uint32_t kLongAgo = 100;

class InjectCommandTest : public ::testing::Test {
protected:
    // "Ball" needs an image to write, one to keep and a sound to replace.
    InjectCommandTest()
        : game(environment.InstallGame()), toy((game / "Objects" / "toy.kiv").string()) {
        SaveAgentFile(
            toy, {{"Ball", 3, 0, {{0, "abcd.s16"}, {0, "keep.s16"}, {1, "zap.wav"}}, kLongAgo}},
            {{0, "abcd.s16", "IMAGE!"}, {0, "keep.s16", "KEEP"}, {1, "zap.wav", "SOUND"}});
        environment.Root().Write(Images("keep.s16"), "same");
        environment.Root().Write(Sounds("zap.wav"), "old sound");
    }

    std::string Images(const std::string& name) const { return (game / "Images" / name).string(); }
    std::string Sounds(const std::string& name) const { return (game / "Sounds" / name).string(); }
    std::string Read(const std::string& path) const { return environment.Root().Read(path); }

    GameEnvironment environment;
    fs::path game;
    std::string toy;
};

// The number after `key` in `text`.
std::uint32_t NumberAfter(const std::string& text, const std::string& key) {
    const auto at = text.find(key);
    return at == std::string::npos
               ? 0
               : static_cast<std::uint32_t>(std::stoul(text.substr(at + key.size())));
}

// What is written, kept or replaced is the injection's own; here the tool
// plans it, prints the plan and carries it out against the game.
TEST_F(InjectCommandTest, TheDryRunPrintsWhatTheRealRunThenDoes) {
    CSimProcess sim;
    const std::string before = Read(toy);
    const auto start = static_cast<std::uint32_t>(std::time(nullptr));
    const auto dry = Kivtools({{"inject", "--dry-run", "--json", toy, "Ball"},
                               {"inject", "--dry-run", toy, "1"},
                               {"remove", "--dry-run", "--json", toy, "Ball"}});
    ASSERT_EQ(dry[0].status, 0) << dry[0].err;
    const std::string lastUsed = "\"lastUsed\":{\"before\":100,\"after\":";
    const std::uint32_t planned = NumberAfter(dry[0].out, lastUsed);
    EXPECT_EQ(dry[0].out,
              "{\"files\":[{\"type\":\"image\",\"name\":\"abcd.s16\",\"action\":\"write\"},"
              "{\"type\":\"image\",\"name\":\"keep.s16\",\"action\":\"keep\"},"
              "{\"type\":\"sound\",\"name\":\"zap.wav\",\"action\":\"replace\"}],"
              "\"macros\":[\"inst,sys: conv abcd 0,endm\",\"scrp 2 9 1 1,endm\","
              "\"inst,new: simp Ball,endm\"],\"quantity\":{\"before\":3,\"after\":2}," +
                  lastUsed + std::to_string(planned) + "}}\n");
    EXPECT_GE(planned, start);
    EXPECT_EQ(
        dry[1].out.substr(0, dry[1].out.find("last used")),
        "files:\n  write image abcd.s16\n  keep image keep.s16\n  replace sound zap.wav\n"
        "macros:\n  inst,sys: conv abcd 0,endm\n  scrp 2 9 1 1,endm\n  inst,new: simp Ball,endm\n"
        "quantity: 3 -> 2\n");
    EXPECT_EQ(dry[2].out, "{\"files\":[],\"macros\":[\"rscr,kill Ball,endm\"],"
                          "\"quantity\":{\"before\":3,\"after\":3}," +
                              lastUsed + "100}}\n");
    EXPECT_EQ(std::tuple(Read(toy), fs::exists(Images("abcd.s16")), sim.Macros().size()),
              std::tuple(before, false, 0u));

    ASSERT_EQ(Kivtool({"inject", toy, "Ball"}).status, 0);
    const auto end = static_cast<std::uint32_t>(std::time(nullptr));
    EXPECT_EQ(sim.Macros(),
              (std::vector<std::string>{"inst,sys: conv abcd 0,endm", "scrp 2 9 1 1,endm",
                                        "inst,new: simp Ball,endm"}));
    EXPECT_EQ(
        std::tuple(Read(Images("abcd.s16")), Read(Images("keep.s16")), Read(Sounds("zap.wav"))),
        std::tuple("IMAGE!", "same", "SOUND"));
    const auto usage = StoredUsage(toy, 0);
    EXPECT_EQ(usage.first, 2);
    EXPECT_GE(usage.second, start);
    EXPECT_LE(usage.second, end);

    EXPECT_EQ(Kivtool({"remove", toy, "Ball"}).status, 0);
    EXPECT_EQ(sim.Macros().back(), "rscr,kill Ball,endm");
    EXPECT_EQ(StoredUsage(toy, 0), usage);
}

// No game runs here: what the tool refuses before it talks to the game, and
// what it leaves when the game is not there.
TEST_F(InjectCommandTest, RefusalsNameTheReasonAndLeaveEverythingAsItWas) {
    const std::string before = Read(toy);
    const auto now = static_cast<std::uint32_t>(std::time(nullptr));
    const std::string path = (game / "Objects" / "refused.kiv").string();
    SaveAgentFile(
        path,
        {{"Ball", 0}, {"Kite", 1, 100000, {}, now}, {"Kite"}, {"Egg", 1, 0, {{0, "gone.s16"}}}});
    const std::string holds = "; it holds 1 \"Ball\", 2 \"Kite\", 3 \"Kite\", 4 \"Egg\"";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"inject", path, "Ball"}, "\"Ball\" cannot be injected: no uses are left"},
        {{"inject", path, "Zebra"}, "no agent of " + path + " is called \"Zebra\"" + holds},
        {{"remove", path, "5"}, "no agent of " + path + " is called \"5\"" + holds},
        {{"inject", path, "Kite"},
         "\"Kite\" names several agents of " + path +
             ": 2 \"Kite\", 3 \"Kite\"; give the position of one"},
        {{"inject", "--dry-run", path, "Egg"},
         "A required file is missing: \"" + Images("gone.s16") + "\""},
        {{"inject", toy, "Ball"},
         "Error while talking to game\nMacro: \"inst,sys: conv abcd 0,endm\""},
        {{"inject", "--dry-run", path, "2"}, "\"Kite\" cannot be injected yet: "},
    };
    std::vector<std::vector<std::string>> lines;
    for (const auto& c : cases) {
        lines.push_back(c.first);
    }
    const auto first = static_cast<std::uint32_t>(std::time(nullptr));
    const auto runs = Kivtools(lines);
    const auto last = static_cast<std::uint32_t>(std::time(nullptr));
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
        EXPECT_EQ(runs[i].status, 1) << cases[i].second;
        EXPECT_EQ(runs[i].err, "kivtool: " + cases[i].second + "\n");
    }
    // The wait is counted from the moment the tool looks, within these seconds.
    const std::uint32_t wait = NumberAfter(runs[6].err, "yet: ");
    EXPECT_EQ(runs[6].err,
              "kivtool: " + cases[6].second + std::to_string(wait) + " seconds to wait\n");
    EXPECT_GE(wait, 100000 - (last - now));
    EXPECT_LE(wait, 100000 - (first - now));
    EXPECT_EQ(std::tuple(Read(toy), fs::exists(Images("abcd.s16")), Read(Sounds("zap.wav"))),
              std::tuple(before, false, "old sound"));
}

} // namespace
