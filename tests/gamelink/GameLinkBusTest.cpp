#include "gamelink/DBusMacroTransport.h"
#include "gamelink/GameContract.h"
#include "tests/gamelink/MacroOutcome.h"
#include "tests/support/EveryTestOnAPrivateBus.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <thread>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

const std::string kGameError = "Error while talking to game\nMacro: \"dde: putv paus\"";
// "2026-01-31T12:00:00.000Z ", which starts every line of the substitute's log.
constexpr std::size_t kTimeLength = 25;

// The link waits for the game's answer as long as its transport's call does:
// without a limit, a game slower than its competitors is waited for; with one
// that runs out first, the macro counts as one the game may have run, so it
// is reported at once and never sent again.
TEST(GameLinkOverTheBus, ASlowGameIsWaitedForAsLongAsTheCallWaitsAndGetsEachMacroOnce) {
    const GameEnvironment english; // for the messages
    constexpr int kGameSeconds = 2;
    const struct {
        int callTimeoutMs;
        std::string outcome;
        seconds atLeast, below;
    } rows[] = {
        {kDBusNoTimeout, "0", seconds(kGameSeconds), seconds(20)},
        {500, "Error while talking to game\nMacro: \"dde: putv ownr\"", seconds(0),
         seconds(kGameSeconds)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.callTimeoutMs);
        CSimProcess sim;
        EXPECT_EQ(sim.Command("delay " + std::to_string(kGameSeconds)), "ok");
        CGameLink link(std::make_unique<CDBusMacroTransport>(QDBusConnection::sessionBus(),
                                                             row.callTimeoutMs));
        ASSERT_TRUE(link.Connect());
        const auto start = steady_clock::now();
        EXPECT_EQ(MacroOutcome(link, "dde: putv ownr"), row.outcome);
        EXPECT_GE(steady_clock::now() - start, row.atLeast);
        EXPECT_LT(steady_clock::now() - start, row.below);
        EXPECT_EQ(sim.Macros(), std::vector<std::string>{"dde: putv ownr"});
    }
}

// The bus answers for a game that dies while it runs a macro: the wait ends at
// once, and a new game is reached only once the link connects again.
TEST(GameLinkOverTheBus, AGameKilledWhileItRunsAMacroEndsTheWait) {
    const GameEnvironment english; // for the messages
    CGameLink link;
    EXPECT_FALSE(link.Connect());
    {
        CSimProcess sim({"--delay", "60"});
        ASSERT_TRUE(link.Connect());
        std::thread killer([&sim] {
            const auto deadline = steady_clock::now() + seconds(20);
            while (sim.Macros().empty() && steady_clock::now() < deadline) {
                std::this_thread::sleep_for(milliseconds(5));
            }
            sim.Process().Signal(SIGKILL);
        });
        const auto start = steady_clock::now();
        EXPECT_EQ(MacroOutcome(link, "dde: putv paus"), kGameError);
        killer.join();
        EXPECT_LT(steady_clock::now() - start, seconds(30));
        EXPECT_EQ(sim.Macros(), std::vector<std::string>{"dde: putv paus"});
    }
    CSimProcess newGame({"--paused"});
    EXPECT_EQ(MacroOutcome(link, "dde: putv paus", true), kGameError);
    ASSERT_TRUE(link.Connect());
    EXPECT_STREQ(link.ExecuteMacroOnce("dde: putv paus"), "1");
    link.Disconnect();
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(MacroOutcome(link, "dde: putv paus", true), kGameError);
}

// Its commands change what it answers; refused and failed calls reach the link
// as such, which tries again; and it logs what it was sent.
TEST(GameLinkOverTheBus, TheSubstituteAnswersAsTheGame) {
    CSimProcess sim({"--subject", "Bob Smith", "--paused"});
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    const std::pair<std::string, std::string> steps[] = {
        {GameContract::kMacroQuerySubject, "1"},
        {GameContract::kMacroQueryPaused, "1"},
        {GameContract::kMacroQuerySubjectName, "Bob Smith"},
        {"inst,app: quit 3,endm", ""},
        {"> no-subject", "ok"},
        {"> resume", "ok"},
        {GameContract::kMacroQuerySubject, "0"},
        {GameContract::kMacroQueryPaused, "0"},
        {GameContract::kMacroQuerySubjectName, ""},
        {"> subject  Zo\xC3\xAB of the Mire ", "ok"},
        {GameContract::kMacroQuerySubjectName, "Zo\xC3\xAB of the Mire"},
        {"> fail 1", "ok"},
        {"> refuse 1", "ok"},
        {"scrp 1 2 3 4,endm", ""},
        {"> jump", "error: unknown command \"jump\""},
    };
    for (const auto& [step, answer] : steps) {
        SCOPED_TRACE(step);
        EXPECT_EQ(step.starts_with("> ") ? sim.Command(step.substr(2)) : MacroOutcome(link, step),
                  answer);
    }
    // Every line starts with the time; a macro is logged in UTF-8, its control characters escaped.
    link.ExecuteMacro("inst,sys: conv Caf\xE9 0,endm");
    link.ExecuteMacro("scrp 2 5 1 9\r\n\tinst\\endm");
    const std::regex time(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z )");
    std::vector<std::string> scripts; // after the time
    for (const std::string& line : sim.LogLines()) {
        EXPECT_TRUE(std::regex_match(line.substr(0, kTimeLength), time)) << line;
        if (line.find(" scrp ") != std::string::npos || line.find(" conv ") != std::string::npos) {
            scripts.push_back(line.substr(kTimeLength));
        }
    }
    EXPECT_EQ(scripts, (std::vector<std::string>{
                           "failed scrp 1 2 3 4,endm", "refused scrp 1 2 3 4,endm",
                           "macro scrp 1 2 3 4,endm", "macro inst,sys: conv Caf\xC3\xA9 0,endm",
                           R"(macro scrp 2 5 1 9\r\n\tinst\\endm)"}));
}

// The call's signature on the wire, as the game itself answers it.
TEST(GameLinkOverTheBus, ARawBusCallReachesTheGame) {
    if (access("/usr/bin/busctl", X_OK) != 0) {
        GTEST_SKIP() << "busctl is not installed";
    }
    CSimProcess sim({"--paused"});
    CChildProcess busctl({"/usr/bin/busctl", "--user", "call", "MWGS.OLE", "/", "MWGS.OLE",
                          "ExecuteMacro", "ns", "1", "dde: putv paus"},
                         CChildProcess::Output::Captured);
    EXPECT_EQ(busctl.ReadToEnd(), "bs true \"1\"\n");
    EXPECT_EQ(busctl.WaitForExit(seconds(10)), 0);
}

} // namespace
