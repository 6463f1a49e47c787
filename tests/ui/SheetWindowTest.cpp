#include "tests/ui/SheetFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWindow>

namespace {

TEST_F(SheetTest, TheWindowCanBeMinimisedButNotMaximisedWhetherOnTopOrNot) {
    StartSheet();
    const struct {
        const char* hint;
        Qt::WindowType flag;
        bool present;
    } hints[] = {
        {"title", Qt::WindowTitleHint, true},
        {"system menu", Qt::WindowSystemMenuHint, true},
        {"minimise button", Qt::WindowMinimizeButtonHint, true},
        {"close button", Qt::WindowCloseButtonHint, true},
        {"maximise button", Qt::WindowMaximizeButtonHint, false},
        {"full screen button", Qt::WindowFullscreenButtonHint, false},
    };
    for (const bool onTop : {false, true}) {
        sheet->SetKeepOnTop(onTop);
        for (const auto& hint : hints) {
            EXPECT_EQ(sheet->windowHandle()->flags().testFlag(hint.flag), hint.present)
                << hint.hint << (onTop ? " on top" : "");
        }
    }
}

// The widgets that Tab visits, in order, from the tab bar back to it.
std::vector<QWidget*> TabSequence(QWidget& tabBar) {
    std::vector<QWidget*> visited;
    tabBar.setFocus(Qt::TabFocusReason);
    constexpr int kAtMost = 32;
    for (int i = 0; i < kAtMost; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
        if (visited.back() == &tabBar) {
            break;
        }
    }
    return visited;
}

TEST_F(SheetTest, TabGoesThroughThePagesControlsThenKeepOnTopHideAndClose) {
    AddObjectsFile("ball.kiv", {{"Ball"}});
    StartSheet();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    QTabBar* tabBar = sheet->findChild<QTabBar*>();
    ASSERT_NE(tabBar, nullptr);

    const struct {
        int page;
        std::size_t pageControls;
    } pages[] = {{0, 0}, {1, 4}, {2, 2}};
    for (const auto& page : pages) {
        ::testing::internal::CaptureStderr();
        sheet->SetActivePage(page.page);
        ::testing::internal::GetCapturedStderr();
        const std::vector<QWidget*> visited = TabSequence(*tabBar);
        const std::vector<QWidget*> last(visited.end() - std::min<std::size_t>(visited.size(), 4),
                                         visited.end());
        EXPECT_EQ(last, (std::vector<QWidget*>{sheet->m_onTopButton, sheet->m_hideButton,
                                               sheet->m_closeButton, tabBar}))
            << "page " << page.page;
        ASSERT_EQ(visited.size(), page.pageControls + 4) << "page " << page.page;
        for (std::size_t i = 0; i < page.pageControls; ++i) {
            EXPECT_TRUE(sheet->GetPage(page.page)->isAncestorOf(visited[i]))
                << "page " << page.page << ", stop " << i;
        }
    }
}

} // namespace
