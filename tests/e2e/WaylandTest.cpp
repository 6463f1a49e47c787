#include "app/RegistryKey.h"
#include "tests/e2e/AppletSetup.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <QRect>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

using namespace std::chrono_literals;

// Failures show places as "(x, y)".
void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << ", " << point.y() << ")";
}

namespace {

constexpr const char* kAppletKey = "Software\\Vantrell Technology\\Mirewalk 2\\Splicebox\\1.0";
// Weston draws a shadow around the frame of an X window, inside the window it
// shows.
constexpr int kWestonShadowMargin = 32;

// A headless Weston compositor, with XWayland or without, which lets its debug
// client read where it shows each window.
class WestonSession {
public:
    explicit WestonSession(bool withXWayland) {
        std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::owner_all);
        m_folder.Write("weston.ini", std::string("[core]\nxwayland=") +
                                         (withXWayland ? "true" : "false") +
                                         "\nidle-time=0\n[shell]\npanel-position=none\n"
                                         "[keyboard]\nvkb-show=false\n");
        ::setenv("XDG_RUNTIME_DIR", m_folder.Path().c_str(), 1);
        if (withXWayland) {
            MakeXSocketFolder();
        }
        m_weston = std::make_unique<CChildProcess>(std::vector<std::string>{
            "/usr/bin/weston", "--backend=headless-backend.so", "--socket=wayland-splicebox",
            "--debug", "--width=1024", "--height=768",
            "--config=" + (m_folder / "weston.ini").string(),
            "--log=" + (m_folder / "weston.log").string()});
    }

    // XWayland binds its socket in the folder a desktop's boot creates; on a
    // machine that has run no X server yet it is missing.
    static void MakeXSocketFolder() {
        const std::filesystem::path folder = "/tmp/.X11-unix";
        if (std::filesystem::create_directory(folder)) {
            std::filesystem::permissions(folder, std::filesystem::perms::all |
                                                     std::filesystem::perms::sticky_bit);
        }
    }

    // The X display XWayland listens on, once Weston has started it.
    std::string WaitForXDisplay() const {
        const std::regex listening("xserver listening on display (:[0-9]+)");
        std::smatch match;
        std::string log;
        WaitUntil([&] { return std::regex_search(log = Log(), match, listening); }, 10s, 50ms);
        return match.empty() ? std::string() : match[1].str();
    }

    // Where the compositor shows the top-level window whose title starts with
    // "Splicebox", from its scene graph: the window with its frame. Empty when
    // it shows no such window.
    QRect ShownWindow() const {
        CChildProcess debug({"/usr/bin/weston-debug", "scene-graph"},
                            CChildProcess::Output::Captured);
        const std::string graph = debug.ReadToEnd();
        const std::regex view("top-level window 'Splicebox[^\n]*\n\\s*position: "
                              "\\((-?[0-9]+), (-?[0-9]+)\\) -> \\((-?[0-9]+), (-?[0-9]+)\\)");
        std::smatch match;
        if (debug.WaitForExit(10s) != 0 || !std::regex_search(graph, match, view)) {
            return {};
        }
        return QRect(QPoint(std::stoi(match[1]), std::stoi(match[2])),
                     QPoint(std::stoi(match[3]) - 1, std::stoi(match[4]) - 1));
    }

    std::string Log() const { return m_folder.Read("weston.log"); }

private:
    TempDir m_folder;
    std::unique_ptr<CChildProcess> m_weston;
};

class WaylandTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"weston", "Xwayland", "weston-debug"}) {
            if (std::system((std::string("command -v ") + program + " > /dev/null").c_str()) != 0) {
                GTEST_SKIP() << program << " is not installed (scripts/bootstrap installs it)";
            }
        }
    }

    // A Wayland desktop where the user chose no Qt platform, and the applet
    // registered on it.
    void StartDesktop(bool withXWayland) {
        m_weston = std::make_unique<WestonSession>(withXWayland);
        const std::string display = withXWayland ? m_weston->WaitForXDisplay() : "";
        ASSERT_EQ(display.empty(), !withXWayland) << m_weston->Log();
        // The bus passes its environment on, where nothing can be unset: an
        // empty variable counts as unset, for Qt as for the applet.
        ::setenv("WAYLAND_DISPLAY", "wayland-splicebox", 1);
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "", 1);
        ASSERT_NO_FATAL_FAILURE(RegisterApplet(m_environment));
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
            WaitUntil([&] { return !(shown.window = m_weston->ShownWindow()).isEmpty(); }, 10s,
                      100ms);
            const qint64 pid = AppletPid();
            EXPECT_EQ(sim.Command("release"), "ok");
            EXPECT_TRUE(sim.WaitForLog("macro inst,app: quit 1,endm"));
            // The next start of the applet is a new process.
            EXPECT_TRUE(WaitForProcessEnd(pid, 10s));
        }
        // XWayland unmaps a window after its client has gone, so an ended
        // applet's window can still be shown and be taken for the next one's.
        EXPECT_TRUE(WaitUntil([&] { return m_weston->ShownWindow().isEmpty(); }, 10s, 100ms));
        key.ReadPoint("Location", shown.saved.rx(), shown.saved.ry());
        return shown;
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
