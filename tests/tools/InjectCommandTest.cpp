#include "tests/support/AgentFiles.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/Kivtool.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);

// The number after `key` in `text`.
std::uint32_t NumberAfter(const std::string& text, const std::string& key) {
    const auto at = text.find(key);
    return at == std::string::npos
               ? 0
               : static_cast<std::uint32_t>(std::stoul(text.substr(at + key.size())));
}

std::uint32_t Now() {
    return static_cast<std::uint32_t>(std::time(nullptr));
}

// Before the game runs, the dry runs print the plan and the refusals name their
// reason, all leaving everything as it was; then the real run does what the
// plan said. What is written, kept or replaced is the injection's own.
TEST(InjectCommand, PlansOrRefusesLeavingEverythingAsItWasThenDoesWhatItPlanned) {
    GameEnvironment environment;
    const TempDir& root = environment.Root();
    const fs::path game = environment.InstallGame();
    const auto in = [&](const char* folder, const char* name) {
        return (game / folder / name).string();
    };
    const std::string toy = in("Objects", "toy.kiv");
    const std::string path = in("Objects", "refused.kiv");
    // "Ball" needs an image to write, one to keep and a sound to replace.
    SaveAgentFile(
        toy,
        {{"Ball", 3, 0, {{kImage, "abcd.s16"}, {kImage, "keep.s16"}, {kSound, "zap.wav"}}, 100}},
        {{kImage, "abcd.s16", "IMAGE!"},
         {kImage, "keep.s16", "KEEP"},
         {kSound, "zap.wav", "SOUND"}});
    root.Write(in("Images", "keep.s16"), "same");
    root.Write(in("Sounds", "zap.wav"), "old sound");
    const std::uint32_t now = Now();
    SaveAgentFile(path, {{"Ball", 0},
                         {"Kite", 1, 100000, {}, now},
                         {"Kite"},
                         {"Egg", 1, 0, {{kImage, "gone.s16"}}}});
    const std::string before = root.Read(toy);
    const std::string holds = "; it holds 1 \"Ball\", 2 \"Kite\", 3 \"Kite\", 4 \"Egg\"";
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"inject", path, "Ball"}, "\"Ball\" cannot be injected: no uses are left"},
        {{"inject", path, "Zebra"}, "no agent of " + path + " is called \"Zebra\"" + holds},
        {{"remove", path, "5"}, "no agent of " + path + " is called \"5\"" + holds},
        {{"inject", path, "Kite"},
         "\"Kite\" names several agents of " + path +
             ": 2 \"Kite\", 3 \"Kite\"; give the position of one"},
        {{"inject", "--dry-run", path, "Egg"},
         "A required file is missing: \"" + in("Images", "gone.s16") + "\""},
        {{"inject", toy, "Ball"},
         "Error while talking to game\nMacro: \"inst,sys: conv abcd 0,endm\""},
        {{"inject", "--dry-run", path, "2"}, "\"Kite\" cannot be injected yet: "},
    };
    std::vector<std::vector<std::string>> lines;
    for (const auto& refusal : refusals) {
        lines.push_back(refusal.first);
    }
    const std::uint32_t first = Now();
    const auto runs = Kivtools(lines);
    const std::uint32_t last = Now();
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
        EXPECT_EQ(runs[i].status, 1) << refusals[i].second;
        EXPECT_EQ(runs[i].err, "kivtool: " + refusals[i].second + "\n");
    }
    // The wait is counted from the moment the tool looks, within these seconds.
    const std::uint32_t wait = NumberAfter(runs[6].err, "yet: ");
    EXPECT_EQ(runs[6].err,
              "kivtool: " + refusals[6].second + std::to_string(wait) + " seconds to wait\n");
    EXPECT_GE(wait, 100000 - (last - now));
    EXPECT_LE(wait, 100000 - (first - now));

    { // Nor when there is no bus to reach a game through, or a bridge to a game under Wine.
        const ScopedVariable noBus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        EXPECT_EQ(Kivtool({"inject", toy, "Ball"}).err, runs[5].err);
        const auto wine = Kivtool({"inject", "--wine", toy, "Ball"});
        EXPECT_EQ(
            std::tuple(wine.status, wine.err),
            std::tuple(1, "kivtool: Cannot reach the Wine bridge: there is no session bus\n"));
    }
    { // Nor when Wine cannot be started.
        const ScopedVariable noWine("WINE", "/nonexistent/wine");
        const ScopedVariable bridge("SPLICEBOX_BRIDGE", toy);
        const auto wine = Kivtool({"remove", "--wine", toy, "1"});
        EXPECT_EQ(std::tuple(wine.status, wine.err),
                  std::tuple(1, "kivtool: Cannot start Wine (\"/nonexistent/wine\"): No such file "
                                "or directory; WINE names the wine command\n"));
    }

    CSimProcess sim;
    const auto dry = Kivtools(
        {{"inject", "--dry-run", "--json", toy, "Ball"}, {"inject", "--dry-run", toy, "1"}});
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
    EXPECT_GE(planned, first);
    EXPECT_EQ(
        dry[1].out.substr(0, dry[1].out.find("last used")),
        "files:\n  write image abcd.s16\n  keep image keep.s16\n  replace sound zap.wav\n"
        "macros:\n  inst,sys: conv abcd 0,endm\n  scrp 2 9 1 1,endm\n  inst,new: simp Ball,endm\n"
        "quantity: 3 -> 2\n");
    EXPECT_EQ(std::tuple(root.Read(toy), fs::exists(in("Images", "abcd.s16")),
                         root.Read(in("Sounds", "zap.wav")), sim.Macros().size()),
              std::tuple(before, false, "old sound", 0u));

    ASSERT_EQ(Kivtool({"inject", toy, "Ball"}).status, 0);
    const std::uint32_t end = Now();
    EXPECT_EQ(sim.Macros(),
              (std::vector<std::string>{"inst,sys: conv abcd 0,endm", "scrp 2 9 1 1,endm",
                                        "inst,new: simp Ball,endm"}));
    EXPECT_EQ(std::tuple(root.Read(in("Images", "abcd.s16")), root.Read(in("Images", "keep.s16")),
                         root.Read(in("Sounds", "zap.wav"))),
              std::tuple("IMAGE!", "same", "SOUND"));
    const auto usage = StoredUsage(toy, 0);
    EXPECT_EQ(usage.first, 2);
    EXPECT_GE(usage.second, first);
    EXPECT_LE(usage.second, end);

    EXPECT_EQ(Kivtool({"remove", toy, "Ball"}).status, 0);
    EXPECT_EQ(sim.Macros().back(), "rscr,kill Ball,endm");
    EXPECT_EQ(StoredUsage(toy, 0), usage);
}

// Beside a game that takes a second over each macro: two injectors of one
// agent count two uses, and a file replaced by one holding another agent at the
// same offset while the game works is left byte for byte as it came.
TEST(InjectCommand, CountsEachInjectorsUseAndNeverWritesIntoAFileReplacedMeanwhile) {
    GameEnvironment environment;
    const fs::path game = environment.InstallGame();
    const std::string toy = (game / "Objects/toy.kiv").string();
    SaveAgentFile(toy, {{"Ball", 5}});
    CSimProcess sim({"--delay", "1"});

    const auto both = Kivtools({{"inject", toy, "Ball"}, {"inject", toy, "1"}});
    EXPECT_EQ(std::tuple(both[0].status, both[0].err, both[1].status, both[1].err),
              std::tuple(0, "", 0, ""));
    auto macros = sim.Macros();
    std::ranges::sort(macros);
    EXPECT_EQ(macros,
              (std::vector<std::string>{"inst,new: simp Ball,endm", "inst,new: simp Ball,endm",
                                        "scrp 2 9 1 1,endm", "scrp 2 9 1 1,endm"}));
    EXPECT_EQ(StoredUsage(toy, 0).first, 3);

    CChildProcess injector(
        {"/bin/sh", "-c", "exec \"$0\" inject \"$1\" Ball 2>&1", SB_BIN_DIR "/kivtool", toy},
        CChildProcess::Output::Captured);
    ASSERT_TRUE(WaitUntil([&] { return sim.Macros().size() == 5; }, std::chrono::seconds(30)));
    const std::string cube = Text(AgentFileBytes({{"Cube", 5}}));
    fs::rename(environment.Root().Write("download.kiv", cube), toy);
    EXPECT_EQ(injector.ReadToEnd(),
              "kivtool: The agent was injected, but its use could not be counted: \"" + toy +
                  "\" has changed since it was read\n");
    EXPECT_EQ(injector.WaitForExit(std::chrono::seconds(30)), 1);
    EXPECT_EQ(environment.Root().Read(toy), cube);
}

} // namespace
