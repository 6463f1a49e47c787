// The applet's window on a headless Weston desktop, with XWayland or without,
// whose debug client tells where the compositor shows each window.
#include "app/RegistryKey.h"
#include "tests/e2e/AppletSetup.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempDir.h"

#include <QRect>

#include <gtest/gtest.h>

#include <regex>

using namespace std::chrono_literals;

// Failures show places as "(x, y)".
void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << ", " << point.y() << ")";
}

namespace {

constexpr const char* kAppletKey = "Software\\Vantrell Technology\\Mirewalk 2\\Splicebox\\1.0";
// Weston draws a shadow around an X window's frame, inside the window it shows.
constexpr int kWestonShadowMargin = 32;

// The groups of the first match of `pattern` in `text`; empty when none.
std::vector<std::string> Search(const std::string& text, const char* pattern) {
    std::smatch match;
    std::regex_search(text, match, std::regex(pattern));
    return {match.begin(), match.end()};
}

class WaylandTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"weston", "Xwayland", "weston-debug"}) {
            if (std::system((std::string("command -v ") + program + " > /dev/null").c_str()) != 0) {
                GTEST_SKIP() << program << " is not installed (scripts/bootstrap installs it)";
            }
        }
    }

    // A Wayland desktop where the user chose no Qt platform, the applet
    // registered on it.
    void StartDesktop(bool withXWayland) {
        std::filesystem::permissions(m_folder.Path(), std::filesystem::perms::owner_all);
        m_folder.Write(
            "weston.ini",
            std::string("[core]\nxwayland=") + (withXWayland ? "true" : "false") +
                "\nidle-time=0\n[shell]\npanel-position=none\n[keyboard]\nvkb-show=false\n");
        ::setenv("XDG_RUNTIME_DIR", m_folder.Path().c_str(), 1);
        // XWayland binds its socket in a folder that a machine which has run no
        // X server yet lacks.
        if (withXWayland && std::filesystem::create_directory("/tmp/.X11-unix")) {
            std::filesystem::permissions("/tmp/.X11-unix", std::filesystem::perms::all |
                                                               std::filesystem::perms::sticky_bit);
        }
        m_weston = std::make_unique<CChildProcess>(std::vector<std::string>{
            "/usr/bin/weston", "--backend=headless-backend.so", "--socket=wayland-splicebox",
            "--debug", "--width=1024", "--height=768",
            "--config=" + (m_folder / "weston.ini").string(),
            "--log=" + (m_folder / "weston.log").string()});
        std::vector<std::string> display;
        WaitUntil(
            [&] {
                return !(display = Search(Log(), "xserver listening on display (:[0-9]+)")).empty();
            },
            withXWayland ? 10s : 0s, 50ms);
        ASSERT_EQ(display.empty(), !withXWayland) << Log();
        // The bus passes its environment on, where nothing can be unset: an
        // empty variable counts as unset, for Qt as for the applet.
        ::setenv("WAYLAND_DISPLAY", "wayland-splicebox", 1);
        ::setenv("DISPLAY", display.empty() ? "" : display[1].c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "", 1);
        ASSERT_NO_FATAL_FAILURE(RegisterApplet(m_environment));
    }

    std::string Log() const { return m_folder.Read("weston.log"); }

    // Where the compositor shows the top-level window titled "Splicebox...",
    // with its frame; empty when it shows none.
    QRect ShownWindow() const {
        CChildProcess debug({"/usr/bin/weston-debug", "scene-graph"},
                            CChildProcess::Output::Captured);
        const std::string graph = debug.ReadToEnd();
        const auto at =
            Search(graph, "top-level window 'Splicebox[^\n]*\n\\s*position: "
                          "\\((-?[0-9]+), (-?[0-9]+)\\) -> \\((-?[0-9]+), (-?[0-9]+)\\)");
        if (debug.WaitForExit(10s) != 0 || at.empty()) {
            return {};
        }
        return QRect(QPoint(std::stoi(at[1]), std::stoi(at[2])),
                     QPoint(std::stoi(at[3]) - 1, std::stoi(at[4]) - 1));
    }

    struct Shown {
        QRect window; // where the compositor shows it, with its frame
        QPoint saved; // the place it saved when it closed
    };

    // The applet's window as the game opens and closes it, placed at `location`.
    Shown OpenAndClose(QPoint location) {
        CRegistryKey key;
        key.CreateKey(RegistryRoot::CurrentUser, kAppletKey);
        key.WritePoint("Location", location.x(), location.y());
        Shown shown;
        {
            CSimProcess sim({"--subject", "Wren", "--create-object"});
            EXPECT_TRUE(sim.WaitForLog("notify 1 3 1 0 -> true", 20s));
            WaitUntil([&] { return !(shown.window = ShownWindow()).isEmpty(); }, 10s, 100ms);
            const qint64 pid = AppletPid();
            EXPECT_EQ(sim.Command("release"), "ok");
            EXPECT_TRUE(sim.WaitForLog("macro inst,app: quit 1,endm"));
            // The next start of the applet is a new process.
            EXPECT_TRUE(WaitForProcessEnd(pid, 10s));
        }
        // XWayland unmaps a window after its client has gone, so an ended
        // applet's window could be taken for the next one's.
        EXPECT_TRUE(WaitUntil([&] { return ShownWindow().isEmpty(); }, 10s, 100ms));
        key.ReadPoint("Location", shown.saved.rx(), shown.saved.ry());
        return shown;
    }

    TempDir m_folder;
    GameEnvironment m_environment;
    std::unique_ptr<CChildProcess> m_weston;
};

} // namespace

// The compositor shows the same window moved by the difference of the saved
// places, its frame inside Weston's shadow margin at the saved place, and it
// closes where it opened.
TEST_F(WaylandTest, UnderAWaylandCompositorTheWindowAppearsWhereItWasLeft) {
    ASSERT_NO_FATAL_FAILURE(StartDesktop(true));
    const Shown first = OpenAndClose({120, 90});
    ASSERT_FALSE(first.window.isEmpty()) << Log();
    const Shown second = OpenAndClose({400, 250});
    ASSERT_FALSE(second.window.isEmpty());
    EXPECT_EQ(second.window.size(), first.window.size());
    EXPECT_EQ(second.window.topLeft() - first.window.topLeft(), QPoint(280, 160));
    EXPECT_EQ(first.window.topLeft() + QPoint(kWestonShadowMargin, kWestonShadowMargin),
              QPoint(120, 90));
    EXPECT_EQ(first.saved, QPoint(120, 90));
    EXPECT_EQ(second.saved, QPoint(400, 250));
}

// Without XWayland the window is a Wayland window, placed by the compositor.
TEST_F(WaylandTest, WithoutXWaylandTheWindowAppearsNatively) {
    ASSERT_NO_FATAL_FAILURE(StartDesktop(false));
    EXPECT_FALSE(OpenAndClose({400, 250}).window.isEmpty()) << Log();
}
