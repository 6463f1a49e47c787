#include "gamelink/GameContract.h"
#include "tests/support/BusCall.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

using namespace std::chrono_literals;

namespace {

const std::string kApplet = SB_BIN_DIR "/splicebox";
constexpr auto kAppletEndTimeout = 10s;

// True once the process is gone; a process that has ended but not yet been
// collected by its parent (the bus) counts as gone.
bool WaitForProcessEnd(qint64 pid, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(stat);
        std::string pidField, name, state;
        if (!(in >> pidField >> name >> state) || state == "Z") {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

qint64 AppletPid() {
    const auto reply = QDBusConnection::sessionBus().interface()->servicePid(
        QLatin1String(GameContract::kAppletServiceName));
    return reply.isValid() ? static_cast<qint64>(reply.value()) : -1;
}

std::size_t Count(const std::vector<std::string>& macros, const std::string& macro) {
    return static_cast<std::size_t>(std::count(macros.begin(), macros.end(), macro));
}

QDBusMessage CallApplet(const QString& path, const char* method,
                        const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(GameContract::kAppletServiceName), path,
        QLatin1String(GameContract::kAppletInterface), QLatin1String(method));
    call.setArguments(arguments);
    return CallServingEvents(QDBusConnection::sessionBus(), call, 20000);
}

// A game installed in a fresh folder with the applet registered by its plain
// start, on a bus that starts the applet on request.
class AppletProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_game = m_environment.InstallGame();
        QImage wallpaper(8, 8, QImage::Format_RGB888);
        wallpaper.fill(QColor(128, 128, 128));
        for (const char* name : {"wallpaper.bmp", "Injector.bmp"}) {
            ASSERT_TRUE(
                wallpaper.save(QString::fromStdString((m_game / "Applet Data" / name).string())));
        }
        CChildProcess plainStart({kApplet}, {});
        ASSERT_EQ(plainStart.WaitForExit(10s), 0);
        // A message box in an applet the bus started would wait for nobody.
        setenv("SPLICEBOX_MESSAGES", "stderr", 1);
        CPrivateBusEnvironment::Bus().AddServiceDirectory(m_environment.DataHome() / "dbus-1" /
                                                          "services");
        CPrivateBusEnvironment::Bus().ShareEnvironment();
    }

    // Starts the game substitute, which asks for the applet's object, and
    // waits until the applet has asked the game for its state.
    std::unique_ptr<CSimProcess> StartGameWithApplet() {
        auto sim = std::make_unique<CSimProcess>(
            std::vector<std::string>{"--subject", "Wren", "--create-object"});
        EXPECT_TRUE(sim->WaitForLog("macro dde: getb cnam", 20s));
        EXPECT_TRUE(sim->WaitForLog("notify 1 3 1 0 -> true"));
        return sim;
    }

    // Starts the applet as the bus would, but as a child of the test, so that
    // its exit status can be read; returns once it serves its name.
    static std::unique_ptr<CChildProcess> StartAutomatedApplet() {
        auto applet = std::make_unique<CChildProcess>(
            std::vector<std::string>{kApplet, "-Automation"}, CChildProcess::Plumbing{});
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (AppletPid() != applet->Pid() && applet->IsRunning() &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_EQ(AppletPid(), applet->Pid());
        return applet;
    }

    std::string UserRegistryText() const {
        std::ifstream registry(m_environment.RegistryFile("HKEY_CURRENT_USER"));
        return std::string((std::istreambuf_iterator<char>(registry)), {});
    }

    GameEnvironment m_environment;
    std::filesystem::path m_game;
};

} // namespace

TEST_F(AppletProcessTest, ThePlainStartEntersTheToolAndTheActivationFile) {
    std::ifstream registry(m_environment.RegistryFile("HKEY_CURRENT_USER"));
    const std::string text((std::istreambuf_iterator<char>(registry)), {});
    EXPECT_NE(text.find("\"Tool8\"=\"MW_Injector.OLE|Splicebox|Splicebox description here.|7|4\""),
              std::string::npos)
        << text;

    std::ifstream activation(m_environment.DataHome() / "dbus-1/services/MW_Injector.OLE.service");
    const std::string service((std::istreambuf_iterator<char>(activation)), {});
    EXPECT_EQ(service, "[D-BUS Service]\nName=MW_Injector.OLE\nExec=" + kApplet + " -Automation\n");
}

TEST_F(AppletProcessTest, TheGameStartsTheAppletWhichFollowsItsNotificationsAndEndsOnRelease) {
    auto sim = StartGameWithApplet();
    EXPECT_EQ(sim->Macros(),
              (std::vector<std::string>{"dde: putv ownr", "dde: putv paus", "dde: getb cnam"}));
    const qint64 pid = AppletPid();
    ASSERT_GT(pid, 0);

    // The pause shows in the title, which asks for the subject's name again.
    EXPECT_EQ(sim->Command("notify 2 10 1 0"), "ok");
    EXPECT_TRUE(sim->WaitForLog("notify 2 10 1 0 -> true"));
    EXPECT_EQ(Count(sim->Macros(), "dde: getb cnam"), 2u);
    EXPECT_EQ(sim->Command("notify 1 3 42 0"), "ok");
    EXPECT_TRUE(sim->WaitForLog("notify 1 3 42 0 -> true"));

    EXPECT_EQ(sim->Command("release"), "ok");
    EXPECT_TRUE(sim->WaitForLog("macro inst,app: quit 42,endm"));
    EXPECT_TRUE(WaitForProcessEnd(pid, kAppletEndTimeout));
    EXPECT_EQ(sim->Macros().back(), "inst,app: quit 42,endm");
}

TEST_F(AppletProcessTest, KillingTheGameEndsTheApplet) {
    auto sim = StartGameWithApplet();
    const qint64 pid = AppletPid();
    ASSERT_GT(pid, 0);

    sim->Process().Signal(SIGKILL);

    EXPECT_TRUE(WaitForProcessEnd(pid, kAppletEndTimeout));
}

TEST_F(AppletProcessTest, ASecondObjectSharesTheWindowAndTheAppletOutlivesItsWindow) {
    auto sim = StartGameWithApplet();
    const qint64 pid = AppletPid();

    const QDBusMessage created = CallApplet(QStringLiteral("/"), GameContract::kCreateObjectMethod);
    ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << created.errorMessage().toStdString();
    const QString second = qvariant_cast<QDBusObjectPath>(created.arguments().value(0)).path();
    EXPECT_EQ(AppletPid(), pid);

    // A text is no notification: the answer is still true and nothing changes.
    const QDBusMessage answer =
        CallApplet(second, GameContract::kCommunicateMethod,
                   {QVariant::fromValue(QDBusVariant(QStringLiteral("2 10 1 0"))),
                    QVariant::fromValue(QDBusVariant(0))});
    ASSERT_EQ(answer.type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(answer.arguments().value(0).toBool());
    EXPECT_EQ(sim->Macros(),
              (std::vector<std::string>{"dde: putv ownr", "dde: putv paus", "dde: getb cnam"}));

    // Its final release closes the window; the game's object keeps the applet.
    EXPECT_EQ(CallApplet(second, GameContract::kReleaseMethod).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(sim->WaitForLog("macro inst,app: quit 1,endm"));
    EXPECT_FALSE(WaitForProcessEnd(pid, 500ms));

    EXPECT_EQ(sim->Command("release"), "ok");
    EXPECT_TRUE(WaitForProcessEnd(pid, kAppletEndTimeout));
    EXPECT_EQ(Count(sim->Macros(), "dde: putv ownr"), 1u);
    EXPECT_EQ(Count(sim->Macros(), "inst,app: quit 1,endm"), 1u);
}

TEST_F(AppletProcessTest, WithoutAGameTheAppletStaysHiddenAndEndsWhenReleased) {
    const QDBusMessage created = CallApplet(QStringLiteral("/"), GameContract::kCreateObjectMethod);
    ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << created.errorMessage().toStdString();
    const QString path = qvariant_cast<QDBusObjectPath>(created.arguments().value(0)).path();
    const qint64 pid = AppletPid();
    ASSERT_GT(pid, 0);
    EXPECT_FALSE(WaitForProcessEnd(pid, 300ms));

    EXPECT_EQ(CallApplet(path, GameContract::kReleaseMethod).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(WaitForProcessEnd(pid, kAppletEndTimeout));
}

TEST_F(AppletProcessTest, AnAppletWhoseWindowCannotBeCreatedRefusesTheObjectAndEnds) {
    std::filesystem::remove(m_game / "Applet Data" / "wallpaper.bmp");

    const QDBusMessage created = CallApplet(QStringLiteral("/"), GameContract::kCreateObjectMethod);

    EXPECT_EQ(created.type(), QDBusMessage::ErrorMessage);
    EXPECT_TRUE(WaitForProcessEnd(AppletPid(), kAppletEndTimeout));
    EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QLatin1String(GameContract::kAppletServiceName)));
}

// Logout, kill and Ctrl-C close the sheet as its Close button does: the
// placement is saved, the game hears the applet's quit macro once, and the
// process ends with status 0 although the game still holds the object. A
// signal that arrives while a macro waits for the game is handled after the
// game has answered.
TEST_F(AppletProcessTest, TerminationSignalsCloseTheSheetOnceAndEndTheApplet) {
    const std::vector<std::string> startUp{"dde: putv ownr", "dde: putv paus", "dde: getb cnam"};
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
        auto sim = StartGameWithApplet();
        std::vector<std::string> expected = startUp;
        if (test.whileAMacroWaits) {
            // The pause shows in the title, which asks the slow game for the name.
            EXPECT_EQ(sim->Command("delay 2"), "ok");
            EXPECT_EQ(sim->Command("notify 2 10 1 0"), "ok");
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (sim->Macros().size() == startUp.size() &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(5ms);
            }
            expected.push_back("dde: getb cnam");
        }
        EXPECT_EQ(UserRegistryText().find("\"Location\""), std::string::npos);

        for (const int signalNumber : test.signalNumbers) {
            applet->Signal(signalNumber);
        }

        EXPECT_EQ(applet->WaitForExit(kAppletEndTimeout), 0);
        expected.push_back("inst,app: quit 1,endm");
        EXPECT_EQ(sim->Macros(), expected);
        EXPECT_NE(UserRegistryText().find("\"Location\""), std::string::npos);
    }
}

TEST_F(AppletProcessTest, ASignalBeforeTheWindowExistsEndsTheApplet) {
    auto applet = StartAutomatedApplet();

    applet->Signal(SIGTERM);

    EXPECT_EQ(applet->WaitForExit(kAppletEndTimeout), 0);
    EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QLatin1String(GameContract::kAppletServiceName)));
}
