#include "framework/widgets/MenuBuilder.h"
#include "tests/ui/SheetFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>

namespace {

TEST_F(SheetTest, ConnectingAddsBothAgentPagesWithTheirTabImagesAndTheWindowMenu) {
    StartSheet();
    const auto* tabs = sheet->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ((QStringList{tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
              (QStringList{"", "Agents", "Analysis"}));
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    const QImage cover = sheet->GetPage(0)->grab().toImage();
    EXPECT_EQ(QColor(cover.pixel(cover.rect().center())), QColor(40, 60, 200)) << "the cover";
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
    EXPECT_FALSE(sheet->m_onTop);
    EXPECT_FALSE(sheet->m_onTopButton->isChecked());
    emit window->aboutToShow();
    EXPECT_FALSE(keepOnTop->isChecked());
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

} // namespace
