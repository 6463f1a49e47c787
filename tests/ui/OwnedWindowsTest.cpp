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
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

namespace {

// Owned (the sheet's child, and transient for its window), on top, and the
// window's centre less the sheet's.
using Standing = std::tuple<bool, bool, QPoint>;

Standing StandingOf(const QWidget& window, const QWidget& sheet) {
    const QWindow* handle = window.windowHandle();
    return {window.parentWidget() == &sheet && handle != nullptr &&
                handle->transientParent() == sheet.windowHandle(),
            window.windowFlags().testFlag(Qt::WindowStaysOnTopHint),
            window.frameGeometry().center() - sheet.frameGeometry().center()};
}

using OwnedWindowsTest = SheetTest;

TEST_F(OwnedWindowsTest, MessageBoxesAndHelpOpenCentredOnTheSheetAndFollowItsKeepOnTop) {
    ASSERT_TRUE(CompileHelp(game, "Help",
                            {{"HTML PAGES/Splicebox.html", "<html><body>Help</body></html>"}}));
    StartSheet();
    // The sheet as the application's main window, in the middle of the screen,
    // while another window has the focus (as the game's has when a file is dropped).
    CSpliceboxApp app;
    app.m_sheet = std::move(sheet);
    CInjectorSheet& main = *app.m_sheet;
    main.move(main.screen()->availableGeometry().center() - main.frameGeometry().center() +
              main.pos());
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    // Real message boxes, which the tests' environment otherwise turns into lines
    // on standard error; undone before the sheet goes.
    ::unsetenv("SPLICEBOX_MESSAGES");
    InstallMessageBoxSink();
    SetMessageBoxOwner(&main);
    const std::shared_ptr<void> restore(nullptr, [](void*) {
        SetMessageBoxOwner(nullptr);
        SetMessageSink(nullptr);
        ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
    });

    for (const bool onTop : {false, true}) {
        main.SetKeepOnTop(onTop);
        std::optional<Standing> box;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (shown != nullptr) {
                box = StandingOf(*shown, main);
                shown->button(QMessageBox::Ok)->click();
            }
        });
        ShowMessage("Error reading from file \"notes.txt\"", MessageKind::Warning);
        EXPECT_EQ(box, Standing(true, onTop, QPoint())) << onTop;
    }
    main.SetKeepOnTop(false);
    app.WinHelp();
    const auto* help = main.findChild<CHelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(StandingOf(*help, main), Standing(true, false, QPoint()));
    const QPoint place = help->pos();

    const struct {
        const char* change;
        std::function<void()> make;
        bool shown;
        bool onTop;
    } changes[] = {
        {"keep on top", [&] { main.SetKeepOnTop(true); }, true, true},
        {"hide", [&] { main.OnHide(); }, false, true},
        {"restore", [&] { main.showNormal(); }, true, true},
        {"keep on top off", [&] { main.SetKeepOnTop(false); }, true, false},
        {"close", [&] { main.close(); }, false, false},
    };
    for (const auto& change : changes) {
        change.make();
        EXPECT_EQ(std::tuple(help->isVisible(),
                             help->windowFlags().testFlag(Qt::WindowStaysOnTopHint), help->pos()),
                  std::tuple(change.shown, change.onTop, place))
            << change.change;
    }
}

} // namespace
