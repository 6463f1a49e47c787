#include "framework/widgets/MenuBuilder.h"
#include "tests/ui/SheetFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace {

constexpr int kPrintCommand = 57607;

QMenu* MenuHolding(const QMenuBar& bar, int commandId) {
    for (QAction* popup : bar.actions()) {
        if (QMenu* menu = popup->menu();
            menu != nullptr && menu->actions().contains(FindMenuCommand(bar, commandId))) {
            return menu;
        }
    }
    return nullptr;
}

TEST_F(SheetTest, ConnectingAddsBothAgentPagesWithTheirTabImages) {
    StartSheet();
    const auto* tabs = sheet->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "");
    EXPECT_EQ(tabs->tabText(1), "Agents");
    EXPECT_EQ(tabs->tabText(2), "Analysis");
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    const QImage agents = tabs->tabIcon(1).pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(agents.pixel(0, 15)), 0) << "green is transparent";
    EXPECT_EQ(QColor(agents.pixel(5, 7)), QColor(236, 128, 32)) << "the orange creature";
}

TEST_F(SheetTest, TheWindowMenuShowsAndTogglesKeepOnTop) {
    StartSheet();
    QMenuBar* bar = sheet->MenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(FindMenuCommand(*bar, kPrintCommand)->isEnabled());
    QAction* keepOnTop = FindMenuCommand(*bar, kMenuKeepOnTopCommand);
    QMenu* window = MenuHolding(*bar, kMenuKeepOnTopCommand);
    ASSERT_NE(window, nullptr);

    sheet->m_onTopButton->click();
    emit window->aboutToShow();
    EXPECT_TRUE(keepOnTop->isChecked());

    keepOnTop->trigger();
    EXPECT_FALSE(sheet->m_onTop);
    EXPECT_FALSE(sheet->m_onTopButton->isChecked());
    emit window->aboutToShow();
    EXPECT_FALSE(keepOnTop->isChecked());
}

} // namespace
