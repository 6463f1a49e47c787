#include "app/widgets/HelpWindow.h"
#include "app/widgets/MessageBoxSink.h"
#include "app/widgets/SpliceboxApp.h"
#include "core/MessageBox.h"
#include "framework/widgets/MenuBuilder.h"
#include "tests/support/CompiledHelp.h"
#include "tests/ui/SheetFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

namespace {

TEST_F(SheetTest, ConnectingAddsBothAgentPagesWithTheirTabImagesAndTheWindowMenu) {
    StartSheet();
    const auto* tabs = sheet->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ((QStringList{tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
              (QStringList{"", "Agents", "Analysis"}));
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_EQ(tabs->parentWidget()->width() - 1 - tabs->geometry().right(), tabs->x()) << "margins";
    const QImage cover = sheet->GetPage(0)->grab().toImage();
    EXPECT_EQ(QColor(cover.pixel(cover.rect().center())), QColor(40, 60, 200)) << "the cover";
    // The wallpaper, tinted by the face colour (0x70 + 0xEF - 0x80), behind controls and pages.
    const QImage whole = sheet->grab().toImage();
    EXPECT_EQ(std::tuple(whole.pixel(2, whole.height() - 2), cover.pixel(1, 1)),
              std::tuple(0xFFDFDFDFu, 0xFFDFDFDFu));
    const QImage agents = tabs->tabIcon(1).pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(agents.pixel(0, 15)), 0) << "green is transparent";
    EXPECT_EQ(qAlpha(agents.pixel(5, 7)), 255) << "the creature";

    // It can be minimised but not maximised, whether on top or not.
    constexpr Qt::WindowFlags kWanted = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    constexpr Qt::WindowFlags kUnwanted =
        Qt::WindowMaximizeButtonHint | Qt::WindowFullscreenButtonHint;
    for (const bool onTop : {true, false}) {
        sheet->SetKeepOnTop(onTop);
        EXPECT_EQ(sheet->windowHandle()->flags() & (kWanted | kUnwanted), kWanted) << onTop;
    }

    QMenuBar* bar = sheet->MenuBar();
    ASSERT_NE(bar, nullptr);
    QAction* keepOnTop = FindMenuCommand(*bar, kMenuKeepOnTopCommand);
    QMenu* window = bar->actions()[1]->menu();
    ASSERT_TRUE(window->actions().contains(keepOnTop));
    sheet->m_onTopButton->click();
    emit window->aboutToShow();
    EXPECT_TRUE(keepOnTop->isChecked());
    keepOnTop->trigger();
    EXPECT_FALSE(sheet->KeepsOnTop() || sheet->m_onTopButton->isChecked());
    emit window->aboutToShow();
    EXPECT_FALSE(keepOnTop->isChecked());
}

// Each command of the menus does its own work only.
TEST_F(SheetTest, EachMenuCommandDoesItsOwnWorkOnly) {
    const struct {
        unsigned command;
        bool onTop;
        bool minimised;
        bool visible;
        int helps;
    } commands[] = {
        {kMenuKeepOnTopCommand, true, false, true, 0},
        {kMenuHideCommand, false, true, true, 0},
        {kExitCommand, false, false, false, 0},
        {kHelpCommand, false, false, true, 1},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.command);
        sheet.reset();
        sim.reset();
        StartSheet();
        sheet->SetKeepOnTop(false);
        int helps = 0;
        QObject::connect(sheet.get(), &CInjectorSheet::HelpRequested, [&] { ++helps; });
        QAction* action = FindMenuCommand(*sheet->MenuBar(), c.command);
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(std::tuple(sheet->KeepsOnTop(), sheet->isMinimized(), sheet->isVisible(), helps),
                  std::tuple(c.onTop, c.minimised, c.visible, c.helps));
    }
}

TEST_F(SheetTest, TabGoesThroughThePagesControlsThenKeepOnTopHideAndClose) {
    AddObjectsFile("ball.kiv", {{"Ball"}});
    StartSheet();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    QTabBar* tabBar = sheet->findChild<QTabBar*>();
    ASSERT_NE(tabBar, nullptr);
    const std::vector<QWidget*> controls{sheet->m_onTopButton, sheet->m_hideButton,
                                         sheet->m_closeButton, tabBar};
    const std::pair<int, int> pages[] = {{0, 0}, {1, 4}, {2, 2}}; // page, its controls
    constexpr std::size_t kAtMost = 32;
    for (const auto& [page, pageControls] : pages) {
        SCOPED_TRACE(page);
        MessagesOf([&, index = page] { sheet->SetActivePage(index); });
        // The widgets that Tab visits, in order, from the tab bar back to it.
        std::vector<QWidget*> visited;
        tabBar->setFocus(Qt::TabFocusReason);
        while (visited.size() < kAtMost && (visited.empty() || visited.back() != tabBar)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.push_back(QApplication::focusWidget());
        }
        ASSERT_EQ(visited.size(), static_cast<std::size_t>(pageControls) + 4);
        EXPECT_EQ(std::vector<QWidget*>(visited.end() - 4, visited.end()), controls);
        for (int i = 0; i < pageControls; ++i) {
            EXPECT_TRUE(sheet->GetPage(page)->isAncestorOf(visited[i])) << i;
        }
    }
}

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
    // Real message boxes, not the tests' lines on standard error, until the sheet goes.
    const ScopedVariable boxes("SPLICEBOX_MESSAGES", "");
    InstallMessageBoxSink();
    SetMessageBoxOwner(&main);
    const std::shared_ptr<void> restore(nullptr, [](void*) {
        SetMessageBoxOwner(nullptr);
        SetMessageSink(nullptr);
    });

    // The box a message shows: where it stands and its frame.
    const auto boxOfAMessage = [&] {
        std::optional<std::pair<Standing, QRect>> box;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (shown != nullptr) {
                box.emplace(StandingOf(*shown, main), shown->frameGeometry());
                shown->button(QMessageBox::Ok)->click();
            }
        });
        ShowMessage("Error reading from file \"notes.txt\"", MessageKind::Warning);
        return box.value();
    };
    for (const bool onTop : {true, false}) {
        main.SetKeepOnTop(onTop);
        EXPECT_EQ(boxOfAMessage().first, Standing(true, onTop, QPoint())) << onTop;
    }
    // Beside a sheet mostly off the screen, a box stops at the screen's edges.
    const QPoint centred = main.pos();
    const QRect work = main.screen()->availableGeometry();
    main.move(work.bottomRight() - QPoint(50, 50));
    EXPECT_EQ(boxOfAMessage().second.bottomRight(), work.bottomRight());
    main.move(centred);
    app.WinHelp();
    const auto* help = main.findChild<CHelpWindow*>();
    ASSERT_NE(help, nullptr);
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
