#include "gamelink/GameLink.h"

#include "app/GameConfig.h"
#include "app/KitException.h"
#include "app/RegistryKey.h"
#include "gamelink/GameContract.h"
#include "platform/DBusMacroTransport.h"
#include "platform/FileDescriptor.h"
#include "tests/gamelink/FakeApplet.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <regex>
#include <thread>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

const auto* const g_bus = ::testing::AddGlobalTestEnvironment(new CPrivateBusEnvironment);

const std::string kSimPath = std::string(SB_BIN_DIR) + "/mirewalk-sim";

std::string CaughtMessage(CGameLink& link, const char* macro) {
    try {
        link.ExecuteMacro(macro);
    } catch (const CKitException& e) {
        return e.m_message;
    }
    return "(nothing thrown)";
}

// A link over the session bus that counts its waits instead of sleeping.
struct CountingLink {
    int waits = 0;
    CGameLink link{std::make_unique<CDBusMacroTransport>(), [this](milliseconds) { ++waits; }};
};

// "kind text" for each macro line of the log.
std::vector<std::string> MacroLines(const CSimProcess& sim) {
    std::vector<std::string> lines;
    for (const std::string& line : sim.LogLines()) {
        std::string kind;
        const auto text = ParseSimLogLine(line, &kind);
        if (text && kind != "event") {
            lines.push_back(kind + " " + *text);
        }
    }
    return lines;
}

class GameLinkOverTheBus : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LANG", "en_US.UTF-8", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
    }
};

TEST_F(GameLinkOverTheBus, ConnectsOnlyToARunningGame) {
    CGameLink link;
    EXPECT_FALSE(link.Connect());
    EXPECT_FALSE(link.IsConnected());
    {
        CSimProcess sim;
        ASSERT_TRUE(link.Connect());
        EXPECT_TRUE(link.IsConnected());
        EXPECT_STREQ(link.ExecuteMacro("dde: putv ownr"), "0");
        EXPECT_EQ(sim.Stop(), 0);
    }
    // The game has gone: ten failed calls with nine real waits between them.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CaughtMessage(link, "dde: putv paus"),
              "Error while talking to game\nMacro: \"dde: putv paus\"");
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(900));
    // A new game does not inherit the old one's link until it connects again.
    CSimProcess newGame({"--paused"});
    EXPECT_THROW(link.ExecuteMacroOnce("dde: putv paus"), CKitException);
    ASSERT_TRUE(link.Connect());
    EXPECT_STREQ(link.ExecuteMacroOnce("dde: putv paus"), "1");
    link.Disconnect();
    EXPECT_FALSE(link.IsConnected());
    EXPECT_THROW(link.ExecuteMacroOnce("dde: putv paus"), CKitException);
}

// However long the game takes, the link waits for its answer, also beyond
// D-Bus's default of 25 s, and sends the macro once. (The injection through a
// game slow from its start is in the fault tests.)
TEST_F(GameLinkOverTheBus, ASlowGameIsWaitedForAndGetsEachMacroOnce) {
    CSimProcess sim;
    EXPECT_EQ(sim.Command("delay 30"), "ok");
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    const auto start = steady_clock::now();
    EXPECT_STREQ(link.ExecuteMacro("dde: putv ownr"), "0");
    EXPECT_GE(steady_clock::now() - start, seconds(30));
    EXPECT_EQ(sim.Macros(), std::vector<std::string>{"dde: putv ownr"});
}

// The bus answers for a game that dies while it runs a macro: the wait ends at
// once, and the attempts after it find no game.
TEST_F(GameLinkOverTheBus, AGameKilledWhileItRunsAMacroEndsTheWait) {
    CSimProcess sim({"--delay", "60"});
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    std::thread killer([&sim] {
        const auto deadline = steady_clock::now() + seconds(20);
        while (sim.Macros().empty() && steady_clock::now() < deadline) {
            std::this_thread::sleep_for(milliseconds(5));
        }
        sim.Process().Signal(SIGKILL);
    });
    const auto start = steady_clock::now();
    EXPECT_EQ(CaughtMessage(link, "dde: putv paus"),
              "Error while talking to game\nMacro: \"dde: putv paus\"");
    killer.join();
    EXPECT_LT(steady_clock::now() - start, seconds(30));
    EXPECT_EQ(sim.Macros(), std::vector<std::string>{"dde: putv paus"});
}

TEST_F(GameLinkOverTheBus, TheSubstituteAnswersAsTheGame) {
    CSimProcess sim({"--subject", "Bob Smith", "--paused"});
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    EXPECT_STREQ(link.ExecuteMacro(GameContract::kMacroQuerySubject), "1");
    EXPECT_STREQ(link.ExecuteMacro(GameContract::kMacroQueryPaused), "1");
    EXPECT_STREQ(link.ExecuteMacro(GameContract::kMacroQuerySubjectName), "Bob Smith");
    EXPECT_STREQ(link.ExecuteMacro("inst,app: quit 3,endm"), "");

    EXPECT_EQ(sim.Command("no-subject"), "ok");
    EXPECT_EQ(sim.Command("resume"), "ok");
    EXPECT_STREQ(link.ExecuteMacro(GameContract::kMacroQuerySubject), "0");
    EXPECT_STREQ(link.ExecuteMacro(GameContract::kMacroQueryPaused), "0");
    EXPECT_STREQ(link.ExecuteMacro(GameContract::kMacroQuerySubjectName), "");

    EXPECT_EQ(sim.Command("subject  Zo\xC3\xAB of the Mire "), "ok");
    EXPECT_STREQ(link.ExecuteMacro(GameContract::kMacroQuerySubjectName), "Zo\xC3\xAB of the Mire");

    EXPECT_EQ(sim.Command("subject"), "error: subject needs a name");
    EXPECT_EQ(sim.Command("refuse -1"), "error: refuse needs one count");
    for (const char* delay : {"delay -1", "delay 3601", "delay nan", "delay"}) {
        EXPECT_EQ(sim.Command(delay), "error: delay needs a number of seconds up to an hour");
    }
    EXPECT_EQ(sim.Command("notify 1 2 3 256"), "error: notify needs four bytes 0 to 255");
    EXPECT_EQ(sim.Command("jump"), "error: unknown command \"jump\"");
}

TEST_F(GameLinkOverTheBus, RefusedAndFailedCallsAreRetriedUntilTheGameAnswers) {
    CSimProcess sim({"--paused"});
    CountingLink game;
    ASSERT_TRUE(game.link.Connect());
    EXPECT_EQ(sim.Command("refuse 2"), "ok");
    EXPECT_STREQ(game.link.ExecuteMacro("dde: putv paus"), "1");
    EXPECT_EQ(game.waits, 2);
    EXPECT_EQ(sim.Command("fail 3"), "ok");
    EXPECT_EQ(sim.Command("refuse 1"), "ok");
    EXPECT_STREQ(game.link.ExecuteMacro("dde: putv ownr"), "0");
    EXPECT_EQ(game.waits, 6);
    EXPECT_EQ(MacroLines(sim),
              (std::vector<std::string>{"refused dde: putv paus", "refused dde: putv paus",
                                        "macro dde: putv paus", "failed dde: putv ownr",
                                        "failed dde: putv ownr", "failed dde: putv ownr",
                                        "refused dde: putv ownr", "macro dde: putv ownr"}));

    EXPECT_EQ(sim.Command("fail 10"), "ok");
    EXPECT_EQ(CaughtMessage(game.link, "dde: getb cnam"),
              "Error while talking to game\nMacro: \"dde: getb cnam\"");
    EXPECT_EQ(sim.Macros().size(), 18u);
    EXPECT_STREQ(game.link.ExecuteMacro("dde: putv paus"), "1");
}

TEST_F(GameLinkOverTheBus, EveryMacroIsLoggedOnOneTimestampedLine) {
    CSimProcess sim;
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    link.ExecuteMacro("inst,sys: conv Caf\xE9 0,endm");
    link.ExecuteMacro("scrp 2 5 1 9\r\n\tinst\\endm");
    const std::vector<std::string> lines = sim.LogLines();
    ASSERT_EQ(lines.size(), 3u);
    const std::string time = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z )";
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(time + "event serving"))) << lines[0];
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex(time + "macro inst,sys: conv Caf\xC3\xA9 0,endm")))
        << lines[1];
    EXPECT_TRUE(
        std::regex_match(lines[2], std::regex(time + R"(macro scrp 2 5 1 9\\r\\n\\tinst\\\\endm)")))
        << lines[2];
    EXPECT_EQ(sim.Macros(), (std::vector<std::string>{"inst,sys: conv Caf\xC3\xA9 0,endm",
                                                      "scrp 2 5 1 9\r\n\tinst\\endm"}));
}

TEST_F(GameLinkOverTheBus, ARawBusCallReachesTheGame) {
    if (access("/usr/bin/busctl", X_OK) != 0) {
        GTEST_SKIP() << "busctl is not installed";
    }
    CSimProcess sim({"--paused"});
    TempDir folder;
    const CFileDescriptor output(
        ::open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    CChildProcess busctl({"/usr/bin/busctl", "--user", "call", "MWGS.OLE", "/", "MWGS.OLE",
                          "ExecuteMacro", "ns", "1", "dde: putv paus"},
                         {output.Get(), -1});
    EXPECT_EQ(busctl.WaitForExit(milliseconds(10000)), 0);
    EXPECT_EQ(folder.Read("out"), "bs true \"1\"\n");
    EXPECT_EQ(sim.Macros(), std::vector<std::string>{"dde: putv paus"});
}

TEST_F(GameLinkOverTheBus, TheSubstituteTakesCommandsFromItsInputAndEndsCleanly) {
    CSimProcess sim;
    sim.WriteInput("pause");
    ASSERT_TRUE(sim.WaitForLog("event command pause -> ok"));
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    EXPECT_STREQ(link.ExecuteMacro("dde: putv paus"), "1");
    sim.WriteInput("quit");
    EXPECT_EQ(sim.WaitForExit(milliseconds(5000)), 0);
    EXPECT_NE(sim.LogLines().back().find(" event ended"), std::string::npos);

    CSimProcess interrupted;
    interrupted.Process().Signal(SIGINT);
    EXPECT_EQ(interrupted.WaitForExit(milliseconds(5000)), 0);
    EXPECT_NE(interrupted.LogLines().back().find(" event ended"), std::string::npos);
}

TEST_F(GameLinkOverTheBus, TheSubstituteDrivesTheAppletsObject) {
    CFakeApplet applet;
    CSimProcess sim({"--subject", "Bob"});
    EXPECT_EQ(sim.Command("notify 1 2 3 4"), "error: no object held");
    EXPECT_EQ(sim.Command("create-object"), "ok");
    ASSERT_TRUE(sim.WaitForLog("event notify 1 3 1 0 -> true"));
    EXPECT_EQ(sim.Command("create-object"), "error: already holds /object/1");
    // The applet asks for the subject's name from inside Communicate.
    EXPECT_EQ(sim.Command("subject Alice"), "ok");
    ASSERT_TRUE(sim.WaitForLog("event notify 2 6 0 0 -> true"));
    EXPECT_EQ(sim.Command("pause"), "ok");
    ASSERT_TRUE(sim.WaitForLog("event notify 2 10 1 0 -> true"));
    EXPECT_EQ(sim.Command("notify 255 0 0 128"), "ok");
    ASSERT_TRUE(sim.WaitForLog("event notify 255 0 0 128 -> true"));
    EXPECT_EQ(sim.Command("release"), "ok");
    ASSERT_TRUE(sim.WaitForLog(" left"));
    EXPECT_TRUE(sim.WaitForLog("event release /object/1 answered"));

    EXPECT_EQ(applet.m_creations, 1);
    EXPECT_EQ(applet.m_notifications,
              (std::vector<std::uint32_t>{0x00010301, 0x00000602, 0x00010A02, 0x800000FF}));
    EXPECT_EQ(applet.m_subjectReplies, std::vector<std::string>{"Alice"});
    EXPECT_EQ(applet.m_releases, 1);
    EXPECT_EQ(sim.Command("release"), "error: no object held");
    // With the applet gone and no activation file, asking again fails on the bus.
    EXPECT_EQ(sim.Command("create-object"), "ok");
    EXPECT_TRUE(sim.WaitForLog("create-object failed: org.freedesktop.DBus.Error.ServiceUnknown"));
}

TEST_F(GameLinkOverTheBus, AnEndedSubstituteReleasesTheObjectItHolds) {
    CFakeApplet applet;
    CSimProcess sim({"--create-object"});
    ASSERT_TRUE(sim.WaitForLog("event notify 1 3 1 0 -> true"));
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(applet.m_releases, 1);
    EXPECT_TRUE(sim.WaitForLog(" event release /object/1", milliseconds(0)));
    EXPECT_TRUE(sim.WaitForLog(" left", milliseconds(0)));
    EXPECT_NE(sim.LogLines().back().find(" event ended"), std::string::npos);
}

TEST_F(GameLinkOverTheBus, TheBusStartsServicesFromAddedFoldersWithTheSharedEnvironment) {
    TempDir folder;
    folder.Write("services/MWGS.OLE.service",
                 "[D-BUS Service]\nName=MWGS.OLE\nExec=/bin/sh -c 'printenv SB_PROBE > " +
                     (folder / "probe").string() + "; exec " + kSimPath + " run --log " +
                     (folder / "log").string() + "'\n");
    CPrivateBusEnvironment::Bus().AddServiceDirectory(folder / "services");
    setenv("SB_PROBE", "shared", 1);
    CPrivateBusEnvironment::Bus().ShareEnvironment();

    const auto started = QDBusConnection::sessionBus().interface()->startService(
        QLatin1String(GameContract::kMacroServerName));
    ASSERT_TRUE(started.isValid()) << started.error().message().toStdString();
    CGameLink link;
    ASSERT_TRUE(link.Connect());
    EXPECT_STREQ(link.ExecuteMacro("dde: putv ownr"), "0");
    EXPECT_EQ(folder.Read("probe"), "shared\n");
    EXPECT_NE(folder.Read("log").find(" macro dde: putv ownr\n"), std::string::npos);
    EXPECT_EQ(SimCommand("quit"), "ok");
}

TEST_F(GameLinkOverTheBus, InitSetsUpAGameFolderAndItsSettings) {
    GameEnvironment environment;
    const std::filesystem::path game = environment.Root() / "game";
    CChildProcess init({kSimPath, "init", game.string()}, {});
    ASSERT_EQ(init.WaitForExit(milliseconds(10000)), 0);
    for (int i = 0; i < GameContract::kGameDirectoryCount; ++i) {
        const std::filesystem::path folder = game / GameContract::kGameDirectoryFolders[i];
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
        EXPECT_EQ(GetGameDirectory(i), folder.string() + "/");
    }
    CRegistryKey userKey;
    EXPECT_NO_THROW(userKey.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath));
}

} // namespace
