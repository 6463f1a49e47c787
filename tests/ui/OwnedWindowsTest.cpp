#include "app/MessageBox.h"
#include "app/widgets/HelpWindow.h"
#include "app/widgets/MessageBoxSink.h"
#include "app/widgets/SpliceboxApp.h"
#include "tests/support/CompiledHelp.h"
#include "tests/ui/SheetFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <functional>

namespace {

// How a window stands to the sheet that owns it.
struct Standing {
    bool owned = false; // the sheet's child, and transient for its window
    bool onTop = false;
    QPoint offCentre; // its centre less the sheet's
    bool operator==(const Standing&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Standing& standing) {
    return out << (standing.owned ? "owned" : "not owned") << (standing.onTop ? ", on top" : "")
               << ", off centre by " << standing.offCentre.x() << ", " << standing.offCentre.y();
}

Standing StandingOf(const QWidget& window, const QWidget& sheet) {
    const QWindow* handle = window.windowHandle();
    return {window.parentWidget() == &sheet && handle != nullptr &&
                handle->transientParent() == sheet.windowHandle(),
            window.windowFlags().testFlag(Qt::WindowStaysOnTopHint),
            window.frameGeometry().center() - sheet.frameGeometry().center()};
}

// The sheet as the application's main window, in the middle of the screen,
// while another window has the focus (as the game's or the desktop's has when
// a file is dropped), and message boxes that open on screen.
class OwnedWindowsTest : public SheetTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(CompileHelp(game, "Help",
                                {{"HTML PAGES/Splicebox.html", "<html><body>Help</body></html>"}}));
        StartSheet();
        app.m_sheet = std::move(sheet);
        CInjectorSheet& main = Main();
        const QRect work = main.screen()->availableGeometry();
        main.move(work.center() -
                  QPoint(main.frameGeometry().width(), main.frameGeometry().height()) / 2);
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));

        // Real message boxes, which the tests' environment otherwise turns
        // into lines on standard error.
        ::unsetenv("SPLICEBOX_MESSAGES");
        InstallMessageBoxSink();
        SetMessageBoxOwner(&main);
    }
    void TearDown() override {
        SetMessageBoxOwner(nullptr);
        SetMessageSink(nullptr);
        ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
    }

    CInjectorSheet& Main() { return *app.m_sheet; }

    // Shows a message and reads how its box stands before pressing OK.
    Standing MessageBoxStanding() {
        Standing standing;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr) {
                standing = StandingOf(*box, Main());
                box->button(QMessageBox::Ok)->click();
            }
        });
        ShowMessage("Error reading from file \"notes.txt\"", MessageKind::Warning);
        return standing;
    }

    CHelpWindow* HelpWindow() { return Main().findChild<CHelpWindow*>(); }

    CSpliceboxApp app;
    QWidget elsewhere;
};

TEST_F(OwnedWindowsTest, MessageBoxesAndHelpOpenCentredOnTheSheetAndFollowItsKeepOnTop) {
    for (const bool onTop : {false, true}) {
        Main().SetKeepOnTop(onTop);
        EXPECT_EQ(MessageBoxStanding(), (Standing{true, onTop, {}})) << onTop;
    }
    Main().SetKeepOnTop(false);
    app.WinHelp();
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(StandingOf(*HelpWindow(), Main()), (Standing{true, false, {}}));
    const QPoint place = HelpWindow()->pos();

    const struct {
        const char* change;
        std::function<void()> make;
        bool shown;
        bool onTop;
    } changes[] = {
        {"keep on top", [&] { Main().SetKeepOnTop(true); }, true, true},
        {"hide", [&] { Main().OnHide(); }, false, true},
        {"restore", [&] { Main().showNormal(); }, true, true},
        {"keep on top off", [&] { Main().SetKeepOnTop(false); }, true, false},
        {"close", [&] { Main().close(); }, false, false},
    };
    for (const auto& change : changes) {
        change.make();
        EXPECT_EQ(HelpWindow()->isVisible(), change.shown) << change.change;
        EXPECT_EQ(HelpWindow()->windowFlags().testFlag(Qt::WindowStaysOnTopHint), change.onTop)
            << change.change;
        EXPECT_EQ(HelpWindow()->pos(), place) << change.change;
    }
}

} // namespace
