// The applet as the bus starts it for the game substitute, and as signals and
// the game's end finish it.
#include "gamelink/GameContract.h"
#include "tests/support/EveryTestOnAPrivateBus.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/SimProcess.h"
#include "tests/support/WaitUntil.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QImage>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

using namespace std::chrono_literals;

namespace {

const std::string kApplet = SB_BIN_DIR "/splicebox";
constexpr auto kAppletEndTimeout = 10s;
const std::vector<std::string> kStartUpMacros{"dde: putv ownr", "dde: putv paus", "dde: getb cnam"};

// The process that serves the applet's name on the bus; -1 when none does.
qint64 AppletPid() {
    const auto reply = QDBusConnection::sessionBus().interface()->servicePid(
        QLatin1String(GameContract::kAppletServiceName));
    return reply.isValid() ? static_cast<qint64>(reply.value()) : -1;
}

// A process that has ended but is not collected by its parent (the bus) counts as gone.
bool WaitForProcessEnd(qint64 pid, std::chrono::milliseconds timeout) {
    return WaitUntil(
        [pid] {
            std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
            std::string pidField, name, state;
            return !(in >> pidField >> name >> state) || state == "Z";
        },
        timeout);
}

QDBusMessage CallApplet(const QString& path, const char* method,
                        const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(GameContract::kAppletServiceName), path,
        QLatin1String(GameContract::kAppletInterface), QLatin1String(method));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 20000);
}

QString CreateObject() {
    const QDBusMessage created = CallApplet(QStringLiteral("/"), GameContract::kCreateObjectMethod);
    EXPECT_EQ(created.type(), QDBusMessage::ReplyMessage) << created.errorMessage().toStdString();
    return qvariant_cast<QDBusObjectPath>(created.arguments().value(0)).path();
}

class AppletProcessTest : public ::testing::Test {
protected:
    // A game with the applet's pictures; the applet registered by its plain
    // start, which the bus starts with this process's environment.
    void SetUp() override {
        const auto game = m_environment.InstallGame();
        QImage picture(8, 8, QImage::Format_RGB888);
        picture.fill(Qt::gray);
        for (const char* name : {"wallpaper.bmp", "Injector.bmp"}) {
            ASSERT_TRUE(picture.save(QString::fromStdString(game / "Applet Data" / name)));
        }
        ASSERT_EQ(CChildProcess({kApplet}).WaitForExit(10s), 0);
        CPrivateBus& bus = CPrivateBusEnvironment::Bus();
        bus.AddServiceDirectory(m_environment.DataHome() / "dbus-1/services");
        bus.ShareEnvironment();
    }

    // The game substitute, once the applet has asked it for its state, and the applet's pid.
    static std::pair<std::unique_ptr<CSimProcess>, qint64> StartGameWithApplet() {
        auto sim = std::make_unique<CSimProcess>(
            std::vector<std::string>{"--subject", "Wren", "--create-object"});
        EXPECT_TRUE(sim->WaitForLog("macro dde: getb cnam", 20s));
        EXPECT_TRUE(sim->WaitForLog("notify 1 3 1 0 -> true"));
        return {std::move(sim), AppletPid()};
    }

    // The applet as the bus would start it, but a child of the test, whose exit
    // status can be read; once it serves its name.
    static std::unique_ptr<CChildProcess> StartAutomatedApplet() {
        auto applet =
            std::make_unique<CChildProcess>(std::vector<std::string>{kApplet, "-Automation"});
        EXPECT_TRUE(WaitUntil([&] { return AppletPid() == applet->Pid(); }, 20s));
        return applet;
    }

    bool LocationSaved() const {
        return m_environment.Root().Read("registry/HKEY_CURRENT_USER.reg").find("\"Location\"") !=
               std::string::npos;
    }

    GameEnvironment m_environment;
};

} // namespace

// The game's notifications reach the applet. A second object shares the window and only its creator
// releases it, once; the game's object keeps the applet until the game releases it.
TEST_F(AppletProcessTest, TheGameStartsTheAppletWhichFollowsItsNotificationsAndEndsOnRelease) {
    const auto [sim, pid] = StartGameWithApplet();
    ASSERT_GT(pid, 0);

    EXPECT_EQ(sim->Command("pause"), "ok");
    EXPECT_TRUE(sim->WaitForLog("notify 2 10 1 0 -> true"));
    EXPECT_EQ(sim->Command("subject Alice"), "ok");
    EXPECT_TRUE(sim->WaitForLog("notify 2 6 0 0 -> true"));
    // Any client may notify: the low 32 bits of any integer, 0 for anything else.
    for (const QVariant& message :
         {QVariant::fromValue(0xFFFF'FFFF'002A'0301ULL), QVariant(QStringLiteral("1 3 7 0"))}) {
        const QDBusMessage reply =
            CallApplet(QStringLiteral("/Object1"), GameContract::kCommunicateMethod,
                       {QVariant::fromValue(QDBusVariant(message)),
                        QVariant::fromValue(QDBusVariant(QString()))});
        EXPECT_EQ(reply.arguments().value(0), QVariant(true)) << reply.errorName().toStdString();
    }

    const QString second = CreateObject();
    EXPECT_EQ(AppletPid(), pid);
    EXPECT_EQ(CallApplet(QStringLiteral("/Object1"), GameContract::kReleaseMethod).errorName(),
              QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    EXPECT_EQ(CallApplet(second, GameContract::kReleaseMethod).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(CallApplet(second, GameContract::kReleaseMethod).errorName(),
              QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
    EXPECT_TRUE(sim->WaitForLog("macro inst,app: quit 42,endm"));

    // The release answered shows that the applet stayed for the game's object.
    EXPECT_EQ(sim->Command("release"), "ok");
    EXPECT_TRUE(sim->WaitForLog("event release /Object1 answered"));
    EXPECT_TRUE(WaitForProcessEnd(pid, kAppletEndTimeout));
    // The pause asks for the name, the subject's change for the subject and its
    // name; a second window would ask again.
    EXPECT_EQ(sim->Macros(),
              (std::vector<std::string>{"dde: putv ownr", "dde: putv paus", "dde: getb cnam",
                                        "dde: getb cnam", "dde: putv ownr", "dde: getb cnam",
                                        "inst,app: quit 42,endm"}));
}

// A killed game releases nothing; an ended one releases the object it holds.
TEST_F(AppletProcessTest, TheAppletEndsWithTheGame) {
    for (const int signalNumber : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signalNumber);
        const auto [sim, pid] = StartGameWithApplet();
        ASSERT_GT(pid, 0);
        sim->Process().Signal(signalNumber);
        EXPECT_TRUE(WaitForProcessEnd(pid, kAppletEndTimeout));
        if (signalNumber == SIGTERM) {
            EXPECT_EQ(sim->WaitForExit(kAppletEndTimeout), 0);
            EXPECT_TRUE(sim->WaitForLog("event release /Object1 answered", 0ms));
            EXPECT_NE(sim->LogLines().back().find(" event ended"), std::string::npos);
        }
    }
}

// Without a game it stays until released; without its picture it cannot make
// its window and refuses the game's object.
TEST_F(AppletProcessTest, WithoutAGameOrAWindowTheAppletEndsWhenItIsNotNeeded) {
    const QString path = CreateObject();
    const qint64 pid = AppletPid();
    ASSERT_GT(pid, 0);
    // A game that dies takes only its own object.
    CSimProcess game({"--create-object"});
    EXPECT_TRUE(game.WaitForLog("event object /Object2 of", 20s));
    game.Process().Signal(SIGKILL);
    // Once the bus has seen the game go, the applet has heard of it before any
    // call made later; the answered release shows it stayed for its creator.
    ASSERT_TRUE(WaitUntil(
        [] {
            return !QDBusConnection::sessionBus()
                        .interface()
                        ->isServiceRegistered(QLatin1String(GameContract::kMacroServerName))
                        .value();
        },
        kAppletEndTimeout));
    EXPECT_EQ(CallApplet(path, GameContract::kReleaseMethod).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(WaitForProcessEnd(pid, kAppletEndTimeout));

    std::filesystem::remove(m_environment.Root() / "game/Applet Data/wallpaper.bmp");
    CSimProcess sim({"--create-object"});
    EXPECT_TRUE(sim.WaitForLog("create-object failed: MW_Injector.OLE.Error.CreationFailed", 20s));
    EXPECT_TRUE(WaitForProcessEnd(AppletPid(), kAppletEndTimeout));
    EXPECT_EQ(AppletPid(), -1);
}

// Logout, kill and Ctrl-C close the sheet as its Close button does: placement
// saved, the quit macro sent once, status 0 although the game still holds the
// object. A signal while a macro waits for the game is handled once the game
// has answered; one before the window exists simply ends the applet.
TEST_F(AppletProcessTest, TerminationSignalsCloseTheSheetOnceAndEndTheApplet) {
    struct Case {
        const char* name;
        std::vector<int> signalNumbers;
        bool whileAMacroWaits;
    };
    for (const Case& test :
         {Case{"SIGTERM", {SIGTERM}, false}, Case{"SIGINT", {SIGINT}, false},
          Case{"SIGHUP", {SIGHUP}, false}, Case{"two in a row", {SIGTERM, SIGTERM}, false},
          Case{"while a macro waits", {SIGTERM}, true}}) {
        SCOPED_TRACE(test.name);
        std::filesystem::remove(m_environment.RegistryFile("HKEY_CURRENT_USER"));
        m_environment.InstallGame();
        auto applet = StartAutomatedApplet();
        const auto sim = StartGameWithApplet().first;
        std::vector<std::string> expected = kStartUpMacros;
        if (test.whileAMacroWaits) {
            // The pause shows in the title, which asks the slow game for the name.
            EXPECT_EQ(sim->Command("delay 2"), "ok");
            EXPECT_EQ(sim->Command("notify 2 10 1 0"), "ok");
            EXPECT_TRUE(
                WaitUntil([&] { return sim->Macros().size() > kStartUpMacros.size(); }, 10s));
            expected.push_back("dde: getb cnam");
        }
        EXPECT_FALSE(LocationSaved());
        for (const int signalNumber : test.signalNumbers) {
            applet->Signal(signalNumber);
        }

        EXPECT_EQ(applet->WaitForExit(kAppletEndTimeout), 0);
        expected.push_back("inst,app: quit 1,endm");
        EXPECT_EQ(sim->Macros(), expected);
        EXPECT_TRUE(LocationSaved());
    }
    auto applet = StartAutomatedApplet();
    applet->Signal(SIGTERM);
    EXPECT_EQ(applet->WaitForExit(kAppletEndTimeout), 0);
    EXPECT_EQ(AppletPid(), -1);
}
