// The applet with the game as players run it: the Windows game substitute in a Wine prefix, the
// bridge started by Wine's COM, the applet by the session bus, on a display of its own.
#include "gamelink/GameContract.h"
#include "tests/support/EveryTestOnAPrivateBus.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/Kivtool.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/SimProcess.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/wine/WindowsGame.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QImage>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

const std::string kApplet = SB_BIN_DIR "/splicebox";
// Wine shows the bridge by its Windows name, whether COM or this machine's programs started it.
const std::string kBridge = OnDriveZ(SB_BIN_DIR "/splicebox-bridge.exe.so");
const std::string kGameKey = "HKLM\\Software\\Vantrell Technology\\Mirewalk 2\\1.0";
const std::string kUserKey = "HKCU\\Software\\Vantrell Technology\\Mirewalk 2\\1.0";
const std::string kAppletKey = "HKCU\\Software\\Vantrell Technology\\Mirewalk 2\\Splicebox\\1.0";
const std::string kServerKey = "HKCR\\CLSID\\{A3D4E5F6-1B2C-4D3E-8F9A-0B1C2D3E4F50}\\LocalServer32";
// The game's settings, the applet's own key and the applet's registration, in both views.
constexpr const char* kForgetRegistrations =
    "REGEDIT4\n\n"
    "[-HKEY_CURRENT_USER\\Software\\Vantrell Technology]\n"
    "[-HKEY_LOCAL_MACHINE\\Software\\Vantrell Technology]\n"
    "[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Vantrell Technology]\n"
    "[-HKEY_CLASSES_ROOT\\MW_Injector.OLE]\n"
    "[-HKEY_CLASSES_ROOT\\CLSID\\{A3D4E5F6-1B2C-4D3E-8F9A-0B1C2D3E4F50}]\n"
    "[-HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{A3D4E5F6-1B2C-4D3E-8F9A-0B1C2D3E4F50}]\n";
const std::string kWinePrefixScript = SB_SOURCE_DIR "/scripts/wine-prefix";
constexpr auto kEndTimeout = 15s;

// Wine's variables and a virtual display for the applet's window, for the whole program.
class CWineDisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("WINEPREFIX", kWinePrefix.c_str(), 1);
        ::setenv("WINEDEBUG", "-all", 1);
        ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
        m_display = std::make_unique<CVirtualDisplay>();
    }
    void TearDown() override { m_display.reset(); }

private:
    std::unique_ptr<CVirtualDisplay> m_display;
};
const auto* const g_wineDisplay = ::testing::AddGlobalTestEnvironment(new CWineDisplayEnvironment);

// What a process's file under /proc holds. A process that ends while it is read leaves an
// error, not a stream exception: read it by hand and keep what came.
std::string ProcessFile(const std::filesystem::path& path) {
    std::string text;
    if (const int fd = ::open(path.c_str(), O_RDONLY); fd >= 0) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
    }
    return text;
}

// The pids of this prefix's processes whose command line holds `text`. Tests of other folders
// start the same applet meanwhile, on buses of their own and without this prefix.
std::vector<pid_t> ProcessesOf(const std::string& text) {
    const std::string ofThisPrefix =
        std::string(1, '\0') + "WINEPREFIX=" + kWinePrefix.string() + '\0';
    std::vector<pid_t> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (!std::all_of(name.begin(), name.end(), ::isdigit) || std::stoi(name) == ::getpid()) {
            continue;
        }
        std::string command = ProcessFile(entry.path() / "cmdline");
        std::replace(command.begin(), command.end(), '\0', ' ');
        const std::string environment = '\0' + ProcessFile(entry.path() / "environ");
        if (command.find(text) != std::string::npos &&
            environment.find(ofThisPrefix) != std::string::npos) {
            pids.push_back(std::stoi(name));
        }
    }
    return pids;
}
bool Ended(const std::string& text) {
    return WaitUntil([&] { return ProcessesOf(text).empty(); }, kEndTimeout, 50ms);
}

// The titles of the applet's windows on the display.
std::string WindowTitles() {
    CChildProcess search(
        {"/usr/bin/xdotool", "search", "--name", "Splicebox", "getwindowname", "%@"},
        CChildProcess::Output::Captured);
    return search.ReadToEnd();
}
bool WindowTitled(const std::string& title) {
    return WaitUntil([&] { return WindowTitles().find(title + "\n") != std::string::npos; }, 20s,
                     50ms);
}

// The game's macro server as the bridge serves it on the bus.
std::pair<bool, std::string> ExecuteMacro(const QString& macro) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        GameContract::kMacroServerName, GameContract::kMacroServerPath,
        GameContract::kMacroServerInterface, GameContract::kExecuteMacroMethod);
    call << QVariant::fromValue<qint16>(GameContract::kMacroKind) << macro;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 20000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return {false, reply.errorMessage().toStdString()};
    }
    return {reply.arguments().value(0).toBool(),
            reply.arguments().value(1).toString().toStdString()};
}

class WineGameTest : public ::testing::Test {
protected:
    // A game installed in the prefix, in a folder of the test's own on drive C: with the
    // applet's pictures, and the applet registered with it by its plain start.
    void SetUp() override {
        m_name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(GameFolder());
        // What earlier tests registered in the prefix goes first, so that each test sees what
        // it registered itself.
        const auto forget = m_folder.Write("forget.reg", kForgetRegistrations);
        ASSERT_EQ(RunWine({"regedit", "/s", OnDriveZ(forget)}, m_folder / "regedit.out"), 0);
        ASSERT_EQ(RunWine({kWindowsGame, "init", "C:\\Games\\" + m_name}, m_folder / "init.out"), 0)
            << m_folder.Read("init.out");
        ASSERT_EQ(CChildProcess({kApplet, "--wine"}).WaitForExit(kWineStartTimeout), 0);
        CPrivateBus& bus = CPrivateBusEnvironment::Bus();
        bus.AddServiceDirectory(m_environment.DataHome() / "dbus-1/services");
        bus.ShareEnvironment();
        QImage picture(8, 8, QImage::Format_RGB888);
        picture.fill(Qt::gray);
        for (const char* name : {"wallpaper.bmp", "Injector.bmp"}) {
            ASSERT_TRUE(picture.save(QString::fromStdString(GameFolder() / "Applet Data" / name)));
        }
    }
    void TearDown() override {
        // Everything went through Wine's registry: the store of this machine was never made.
        EXPECT_FALSE(std::filesystem::exists(m_environment.RegistryDir()));
    }
    std::filesystem::path GameFolder() const { return kWinePrefix / "drive_c/Games" / m_name; }
    std::string Reg(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{"reg"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        RunWine(command, m_folder / "reg.out");
        return m_folder.Read("reg.out");
    }

    // An agent file in the game's Objects folder: a lamp whose script holds the game's own
    // characters "é" and "€" (Windows-1252 0xE9 and 0x80), carrying an image.
    std::filesystem::path PackLamp() {
        QImage picture(4, 4, QImage::Format_RGB888);
        picture.fill(Qt::red);
        EXPECT_TRUE(picture.save(QString::fromStdString(m_folder / "pic.bmp")));
        m_folder.Write("lamp.bmp", std::string(64, 'L'));
        m_folder.Write("agent.manifest", "[agent]\nname = Lamp\ndescription = A lamp.\n"
                                         "quantity = 3\n"
                                         "install script := \"inst,dde: caf\\xe9 \\x80,endm\"\n"
                                         "image = lamp.bmp\npicture = pic.bmp\n"
                                         "[file]\ntype = image\npath = lamp.bmp\n");
        const auto agentFile = GameFolder() / "Objects" / "lamp.kiv";
        EXPECT_EQ(Kivtool({"pack", (m_folder / "agent.manifest").string(), "-o", agentFile}).status,
                  0);
        return agentFile;
    }

    GameEnvironment m_environment;
    TempDir m_folder;
    std::string m_name;
};

TEST_F(WineGameTest, TheGameStartsTheAppletThroughTheBridgeAndTheAppletFollowsTheGame) {
    // Registered where the game reads: its tool list, and the bridge as the applet's server in
    // both registry views (the 32-bit game looks in the 32-bit one).
    EXPECT_NE(Reg({"query", kUserKey, "/v", "Tool8"})
                  .find("MW_Injector.OLE|Splicebox|Splicebox description here.|7|4"),
              std::string::npos);
    for (const char* view : {"/reg:32", "/reg:64"}) {
        EXPECT_NE(Reg({"query", kServerKey, "/ve", view}).find("\"" + kBridge + "\" -Automation"),
                  std::string::npos)
            << view;
    }
    CWindowsGame game(m_folder, {"--subject", "Bob", "--create-object"});
    ASSERT_TRUE(game.Logged("macro dde: getb cnam")) << game.Log();
    EXPECT_TRUE(WindowTitled("Splicebox - Bob")) << WindowTitles();
    const auto applet = ProcessesOf(kApplet + " -Automation");
    ASSERT_EQ(applet.size(), 1u);

    // A second request is a second object of the same applet, which takes the number it sends.
    EXPECT_EQ(game.Command("create-object"), "ok");
    EXPECT_TRUE(game.Logged("event notify 1 3 2 0 -> ok"));
    EXPECT_EQ(ProcessesOf(kApplet + " -Automation"), applet);

    // Notifications: as the game sends them, of another type by reference, of another type
    // passed directly: their four value bytes are the message whatever the type.
    const std::vector<std::pair<std::string, std::string>> notifications{
        {"pause", "Splicebox - Bob (PAUSED)"},
        {"notify-variant 19 2 10 0 0", "Splicebox - Bob"},
        {"notify-direct 4 2 10 1 0", "Splicebox - Bob (PAUSED)"},
    };
    for (const auto& [command, title] : notifications) {
        EXPECT_EQ(game.Command(command), "ok");
        EXPECT_TRUE(WindowTitled(title)) << command << ": " << WindowTitles();
    }

    // Replies as the applet reads them: at most 8191 characters, up to the first that no
    // single byte holds; macros with the game's own characters arrive as they are.
    const std::vector<std::pair<std::string, std::string>> replies{
        {std::string(9000, 'a'), std::string(8191, 'a')},
        {"Zoë€ and more", "Zoë"},
    };
    for (const auto& [subject, reply] : replies) {
        EXPECT_EQ(game.Command("subject " + subject), "ok");
        EXPECT_EQ(ExecuteMacro(GameContract::kMacroQuerySubjectName), std::make_pair(true, reply));
    }
    EXPECT_EQ(ExecuteMacro(QString::fromUtf8("inst,dde: é€ ok")),
              std::make_pair(true, std::string()));
    EXPECT_TRUE(game.Logged("macro inst,dde: é€ ok"));

    // The game's last release closes the applet, which says goodbye; all of it ends.
    EXPECT_EQ(game.Command("quit"), "ok");
    EXPECT_TRUE(game.Logged("macro inst,app: quit 2,endm")) << game.Log();
    EXPECT_TRUE(Ended(kApplet + " -Automation"));
    EXPECT_TRUE(Ended(kBridge));
    // The applet kept its placement in its own key below the game's, in Wine's registry.
    EXPECT_NE(Reg({"query", kAppletKey, "/v", "Location"}).find("REG_BINARY"), std::string::npos);
}

TEST_F(WineGameTest, KivtoolInjectsIntoTheGameUnderWineWithTheGamesOwnCharacters) {
    const auto agentFile = PackLamp();
    CWindowsGame game(m_folder, {"--subject", "Bob"});
    EXPECT_EQ(game.Command("refuse 2"), "ok");

    const ToolRun injected = Kivtool({"inject", "--wine", agentFile.string(), "Lamp"});
    EXPECT_EQ(injected.status, 0) << injected.err;

    // The image lands where the game reads it; its conversion and the script arrive exactly,
    // the first macro after the game refused it twice.
    std::ifstream image(GameFolder() / "Images" / "lamp.bmp", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(image), {}), std::string(64, 'L'));
    EXPECT_EQ(game.Count("refused inst,sys: conv lamp 0,endm"), 2u) << game.Log();
    EXPECT_EQ(game.Count("macro inst,sys: conv lamp 0,endm"), 1u);
    EXPECT_EQ(game.Count("macro inst,dde: café €,endm"), 1u) << game.Log();
    EXPECT_TRUE(Ended(kBridge));

    // A game that takes seconds to answer gets each macro once.
    EXPECT_EQ(game.Command("delay 1.5"), "ok");
    EXPECT_EQ(Kivtool({"inject", "--wine", agentFile.string(), "Lamp"}).status, 0);
    EXPECT_EQ(game.Count("macro inst,dde: café €,endm"), 2u) << game.Log();
    EXPECT_EQ(Kivtool({"show", agentFile.string()}).out.find("1 of 3"), std::string::npos);
}

// A killed game closes the applet as a game that dies does; a killed bridge too. Nothing of the
// applet or the bridge is left either way. Wine keeps a killed bridge's registration until its
// services end with the game: until then the game is told that the server is unavailable, and
// afterwards a game starts the applet again.
TEST_F(WineGameTest, AKilledGameOrBridgeEndsTheAppletAndNothingIsLeft) {
    for (const bool killGame : {true, false}) {
        TempDir run;
        CWindowsGame game(run, {"--subject", "Bob", "--create-object"});
        ASSERT_TRUE(game.Logged("macro dde: getb cnam")) << killGame;
        if (killGame) {
            game.Process().Signal(SIGKILL);
        } else {
            for (const pid_t bridge : ProcessesOf(kBridge)) {
                ::kill(bridge, SIGKILL);
            }
        }
        EXPECT_TRUE(Ended(kApplet + " -Automation")) << killGame;
        EXPECT_TRUE(Ended(kBridge)) << killGame;
        if (!killGame) {
            EXPECT_EQ(game.Command("create-object"), "error: CoCreateInstance 0x800706BA");
        }
    }
    ASSERT_EQ(CChildProcess({kWinePrefixScript, "stop", kWinePrefix}).WaitForExit(30s), 0);
    ASSERT_EQ(CChildProcess({kWinePrefixScript, "make", kWinePrefix}).WaitForExit(60s), 0);
    CWindowsGame game(m_folder, {"--subject", "Bob", "--create-object"});
    EXPECT_TRUE(game.Logged("macro dde: getb cnam"));
}

// When the bridge cannot reach the session bus, or another game serves the game's macro server
// there already, the game's request fails at once, the bridge says why and ends.
TEST_F(WineGameTest, ABridgeThatCannotServeTheAppletRefusesTheGameAndEnds) {
    const struct {
        bool busReachable;
        std::string result;
        std::string said;
    } cases[] = {
        {false, "error: CoCreateInstance 0x80080005",
         "splicebox-bridge: cannot connect to the session bus"},
        {true, "error: CoCreateInstance 0x80004005",
         "splicebox-bridge: cannot serve the game's MWGS.OLE on the bus"},
    };
    for (const auto& refusal : cases) {
        TempDir run;
        const std::optional<ScopedVariable> noBus =
            refusal.busReachable ? std::nullopt
                                 : std::make_optional<ScopedVariable>("DBUS_SESSION_BUS_ADDRESS",
                                                                      "unix:path=/no/bus");
        const auto otherGame = refusal.busReachable ? std::make_unique<CSimProcess>() : nullptr;
        CWindowsGame game(run, {"--subject", "Bob"});
        EXPECT_EQ(game.Command("create-object"), refusal.result);
        EXPECT_NE(run.Read("game.out").find(refusal.said), std::string::npos)
            << run.Read("game.out");
        EXPECT_TRUE(Ended(kBridge));
    }
}

// A prefix without the game's settings, and a folder on a drive Wine does not map: kivtool
// says so with the applet's messages and changes nothing.
TEST_F(WineGameTest, KivtoolNamesWhatThePrefixLacks) {
    const auto agentFile = PackLamp();
    const std::vector<std::pair<std::vector<std::string>, std::string>> faults{
        {{"add", kGameKey, "/v", "Images Directory", "/d", "Q:\\Objects\\", "/f", "/reg:32"},
         "kivtool: The folder \"Q:\\Objects\\\" is on a drive that Wine does not map to a folder "
         "of this computer.\n"},
        {{"delete", kGameKey, "/f", "/reg:32"},
         "kivtool: Error opening registry key (\"Software\\Vantrell Technology\\Mirewalk "
         "2\\1.0\")\n"},
    };
    for (const auto& [change, message] : faults) {
        Reg(change);
        const ToolRun run = Kivtool({"inject", "--wine", "--dry-run", agentFile.string(), "Lamp"});
        EXPECT_EQ(run.status, 1) << message;
        EXPECT_EQ(run.err, message);
    }
}

} // namespace

namespace {

// `make demo-wine` as a player runs it, in the tests' prefix, ended with Ctrl-C: the applet's
// window comes up beside the Windows game and closes with it.
TEST(WineDemoTest, TheDemoShowsTheAppletBesideTheWindowsGameAndEndsOnInterrupt) {
    TempDir folder;
    const ScopedVariable demo("SPLICEBOX_DEMO_DIR", (folder / "demo").string());
    const ScopedVariable build("BUILD", std::filesystem::path(SB_BIN_DIR).parent_path().string());
    ::unsetenv("SPLICEBOX_DEMO_BUS");
    CChildProcess run({"/usr/bin/setsid", SB_SOURCE_DIR "/scripts/demo", "--wine"},
                      CChildProcess::Output::Logged, (folder / "demo.out").string());
    // Before its game starts the demo draws its pictures, compiles six help files and packs
    // its agents, which a loaded machine takes its time over.
    constexpr auto kDemoStartTimeout = 3 * kWineStartTimeout;
    const auto logged = [&](const char* text) {
        return WaitUntil(
            [&] { return folder.Read("demo/game.log").find(text) != std::string::npos; },
            kDemoStartTimeout, 50ms);
    };

    ASSERT_TRUE(logged("macro dde: getb cnam"))
        << folder.Read("demo.out") << folder.Read("demo/game.out") << folder.Read("demo/game.log");
    EXPECT_TRUE(WindowTitled("Splicebox - Wren")) << WindowTitles();
    ::kill(-run.Pid(), SIGINT);
    EXPECT_TRUE(run.WaitForExit(30s).has_value());
    EXPECT_TRUE(logged("macro inst,app: quit 1,endm"));
    EXPECT_TRUE(logged("event ended"));
    EXPECT_TRUE(Ended(kBridge));
}

} // namespace
