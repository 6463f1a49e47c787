#include "app/RegistryKey.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

// Failures show places as "(x, y)".
void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << ", " << point.y() << ")";
}

namespace {

constexpr const char* kAppletKey = "Software\\Vantrell Technology\\Mirewalk 2\\Splicebox\\1.0";
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// Weston draws a shadow around the frame of an X window, inside the window it
// shows.
constexpr int kWestonShadowMargin = 32;

bool IsInstalled(const char* program) {
    return std::system((std::string("command -v ") + program + " > /dev/null").c_str()) == 0;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A headless Weston compositor, with XWayland or without, which lets its debug
// client read where it shows each window.
class WestonSession {
public:
    explicit WestonSession(bool withXWayland) {
        std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::owner_all);
        m_folder.Write("weston.ini", std::string("[core]\nxwayland=") +
                                         (withXWayland ? "true" : "false") +
                                         "\nidle-time=0\n"
                                         "[shell]\npanel-position=none\n"
                                         "[keyboard]\nvkb-show=false\n");
        ::setenv("XDG_RUNTIME_DIR", m_folder.Path().c_str(), 1);
        m_weston = std::make_unique<CChildProcess>(
            std::vector<std::string>{"/usr/bin/weston", "--backend=headless-backend.so",
                                     "--socket=wayland-splicebox", "--debug",
                                     "--width=" + std::to_string(kScreenWidth),
                                     "--height=" + std::to_string(kScreenHeight),
                                     "--config=" + (m_folder / "weston.ini").string(),
                                     "--log=" + (m_folder / "weston.log").string()},
            CChildProcess::Plumbing{});
    }

    // The X display XWayland listens on, once Weston has started it.
    std::string WaitForXDisplay() const {
        const std::regex listening("xserver listening on display (:[0-9]+)");
        for (int i = 0; i < 200; ++i) {
            std::smatch match;
            const std::string log = ReadFile(m_folder / "weston.log");
            if (std::regex_search(log, match, listening)) {
                return match[1];
            }
            std::this_thread::sleep_for(50ms);
        }
        return {};
    }

    // Where the compositor shows the top-level window whose title starts with
    // `title`, from its scene graph: the window with its frame. Empty when it
    // shows no such window.
    QRect ShownWindow(const std::string& title) const {
        const auto graph = m_folder / "scene-graph.txt";
        const int out = ::open(graph.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        CChildProcess debug({"/usr/bin/weston-debug", "scene-graph"}, {out, -1});
        ::close(out);
        if (debug.WaitForExit(10s) != 0) {
            return {};
        }
        const std::regex view("top-level window '" + title +
                              "[^\n]*\n\\s*position: \\((-?[0-9]+), (-?[0-9]+)\\) -> "
                              "\\((-?[0-9]+), (-?[0-9]+)\\)");
        std::smatch match;
        const std::string text = ReadFile(graph);
        if (!std::regex_search(text, match, view)) {
            return {};
        }
        return QRect(QPoint(std::stoi(match[1]), std::stoi(match[2])),
                     QPoint(std::stoi(match[3]) - 1, std::stoi(match[4]) - 1));
    }

    std::string Log() const { return ReadFile(m_folder / "weston.log"); }

private:
    TempDir m_folder;
    std::unique_ptr<CChildProcess> m_weston;
};

// Polls the compositor until it shows the applet's window.
QRect WaitForWindow(const WestonSession& weston) {
    for (int i = 0; i < 100; ++i) {
        const QRect shown = weston.ShownWindow("Splicebox");
        if (!shown.isEmpty()) {
            return shown;
        }
        std::this_thread::sleep_for(100ms);
    }
    return {};
}

// Polls the compositor until it no longer shows the applet's window: XWayland
// unmaps a window after its client has gone, so an ended applet's window can
// still be shown for a moment and be taken for the next one's.
bool WaitForWindowGone(const WestonSession& weston) {
    for (int i = 0; i < 100; ++i) {
        if (weston.ShownWindow("Splicebox").isEmpty()) {
            return true;
        }
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

class WaylandTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"weston", "Xwayland", "weston-debug"}) {
            if (!IsInstalled(program)) {
                GTEST_SKIP() << program << " is not installed (scripts/bootstrap installs it)";
            }
        }
        const auto game = m_environment.InstallGame();
        QImage wallpaper(8, 8, QImage::Format_RGB888);
        wallpaper.fill(QColor(128, 128, 128));
        for (const char* name : {"wallpaper.bmp", "Injector.bmp"}) {
            ASSERT_TRUE(
                wallpaper.save(QString::fromStdString((game / "Applet Data" / name).string())));
        }
    }

    // A Wayland desktop where the user chose no Qt platform, and the applet
    // registered on it.
    void StartDesktop(bool withXWayland) {
        m_weston = std::make_unique<WestonSession>(withXWayland);
        std::string display;
        if (withXWayland) {
            display = m_weston->WaitForXDisplay();
            ASSERT_FALSE(display.empty()) << m_weston->Log();
        }
        // The bus passes its environment on, where nothing can be unset: an
        // empty variable counts as unset, for Qt as for the applet.
        ::setenv("WAYLAND_DISPLAY", "wayland-splicebox", 1);
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "", 1);
        ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
        CChildProcess plainStart({SB_BIN_DIR "/splicebox"}, {});
        ASSERT_EQ(plainStart.WaitForExit(10s), 0);
        CPrivateBusEnvironment::Bus().AddServiceDirectory(m_environment.DataHome() / "dbus-1" /
                                                          "services");
        CPrivateBusEnvironment::Bus().ShareEnvironment();
    }

    struct Shown {
        QRect window; // where the compositor shows it, with its frame
        QPoint saved; // the place it saved when it closed
    };

    // The applet's window as the game opens it and closes it again, with its
    // place saved at `location`.
    Shown OpenAndClose(QPoint location) {
        CRegistryKey key;
        key.CreateKey(RegistryRoot::CurrentUser, kAppletKey);
        key.WritePoint("Location", location.x(), location.y());
        Shown shown;
        {
            CSimProcess sim({"--subject", "Wren", "--create-object"});
            EXPECT_TRUE(sim.WaitForLog("notify 1 3 1 0 -> true", 20s));
            shown.window = WaitForWindow(*m_weston);
            EXPECT_EQ(sim.Command("release"), "ok");
            EXPECT_TRUE(sim.WaitForLog("macro inst,app: quit 1,endm"));
        }
        EXPECT_TRUE(WaitForAppletEnd());
        EXPECT_TRUE(WaitForWindowGone(*m_weston));
        key.ReadPoint("Location", shown.saved.rx(), shown.saved.ry());
        return shown;
    }

    // The next start of the applet is a new process.
    static bool WaitForAppletEnd() {
        for (int i = 0; i < 200; ++i) {
            if (!QDBusConnection::sessionBus().interface()->isServiceRegistered(
                    QStringLiteral("MW_Injector.OLE"))) {
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    GameEnvironment m_environment;
    std::unique_ptr<WestonSession> m_weston;
};

} // namespace

TEST_F(WaylandTest, UnderAWaylandCompositorTheWindowAppearsWhereItWasLeft) {
    ASSERT_NO_FATAL_FAILURE(StartDesktop(true));
    const Shown first = OpenAndClose({120, 90});
    ASSERT_FALSE(first.window.isEmpty()) << m_weston->Log();
    const Shown second = OpenAndClose({400, 250});
    ASSERT_FALSE(second.window.isEmpty());
    // The compositor shows the same window moved by the difference of the
    // saved places, its frame inside Weston's shadow margin at the saved place.
    EXPECT_EQ(second.window.size(), first.window.size());
    EXPECT_EQ(second.window.topLeft() - first.window.topLeft(), QPoint(280, 160));
    EXPECT_EQ(first.window.topLeft() + QPoint(kWestonShadowMargin, kWestonShadowMargin),
              QPoint(120, 90));
    // Closed where it opened: the next start opens it there again.
    EXPECT_EQ(first.saved, QPoint(120, 90));
    EXPECT_EQ(second.saved, QPoint(400, 250));
}

// Without XWayland the window is a Wayland window, placed by the compositor.
TEST_F(WaylandTest, WithoutXWaylandTheWindowAppearsNatively) {
    ASSERT_NO_FATAL_FAILURE(StartDesktop(false));
    const Shown shown = OpenAndClose({400, 250});
    EXPECT_FALSE(shown.window.isEmpty()) << m_weston->Log();
}
