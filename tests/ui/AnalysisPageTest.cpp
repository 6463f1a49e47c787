#include "analysis/ArchiveString.h"
#include "framework/widgets/HScrollListBox.h"
#include "tests/ui/SheetFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

namespace {

std::string ChemicalList() {
    std::vector<std::uint8_t> list = {0, 0};
    for (int i = 0; i < 256; ++i) {
        AppendArchiveString(list, "Chemical " + std::to_string(i));
    }
    return {list.begin(), list.end()};
}

std::string OpenAnalysisPage(CInjectorSheet& sheet) {
    ::testing::internal::CaptureStderr();
    sheet.SetActivePage(2);
    return ::testing::internal::GetCapturedStderr();
}

QStringList TopLevelTexts(const QTreeWidget& tree) {
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        texts << tree.topLevelItem(i)->text(0);
    }
    return texts;
}

TEST_F(SheetTest, WithoutAgentsOrChemicalsBothPagesStayEmptyAndTheListIsMissedOnce) {
    StartSheet();
    const CInjectorPage& agents = ShowAgentsPage();
    EXPECT_EQ(agents.m_agentList->GetCount(), 0);
    EXPECT_EQ(agents.m_selected, -1);
    EXPECT_EQ(agents.m_quantityText->text(), "");
    EXPECT_FALSE(agents.m_injectButton->isEnabled());
    EXPECT_FALSE(agents.m_removeButton->isEnabled());

    EXPECT_EQ(OpenAnalysisPage(*sheet), "Splicebox: Error loading chemical list\n");
    const CAnalysisPage& page = sheet->m_analysisPage;
    EXPECT_EQ(page.m_agentList->GetCount(), 0);
    EXPECT_EQ(page.m_resultsTree->topLevelItemCount(), 0);

    sheet->SetActivePage(0);
    EXPECT_EQ(OpenAnalysisPage(*sheet), "") << "the list is not read again";
}

TEST_F(SheetTest, SelectingAnAgentShowsItsAnalysisWithPictures) {
    environment.Root().Write(game / "allchemicals.str", ChemicalList());
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    AddObjectsFile("alpha.kiv", {{"alpha"}});
    StartSheet();
    EXPECT_EQ(OpenAnalysisPage(*sheet), "");
    CAnalysisPage& page = sheet->m_analysisPage;
    QTreeWidget& tree = *page.m_resultsTree;
    EXPECT_EQ(tree.topLevelItemCount(), 0);

    ClickEntry(*page.m_agentList, "Zeta");
    EXPECT_EQ(
        TopLevelTexts(tree),
        QStringList({"General Information:", "Scripts:", "Chemicals Affected:", "Warnings:"}));
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->text(0), "File \"zeta.kiv\"");
    EXPECT_TRUE(tree.topLevelItem(3)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->icon(0).isNull());
    const QImage warning = tree.topLevelItem(3)->icon(0).pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(warning.pixel(0, 0)), 0) << "cyan is transparent";
    EXPECT_EQ(QColor(warning.pixel(7, 4)), QColor(208, 24, 24)) << "a red exclamation mark";

    ClickEntry(*page.m_agentList, "alpha");
    EXPECT_EQ(tree.topLevelItemCount(), 4);
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->text(0), "File \"alpha.kiv\"");
}

// The file the results tree analyses, "" when the tree is empty.
QString AnalysedFile(const QTreeWidget& tree) {
    return tree.topLevelItemCount() > 0 ? tree.topLevelItem(0)->child(0)->text(0) : QString();
}

// Only the highlighted entry counts as selected: the list's current row, which
// the keyboard focus moves over, selects nothing by itself.
TEST_F(SheetTest, OnlyTheHighlightedEntryIsSelectedAndAnalysed) {
    AddObjectsFile("kite.kiv", {{"Giant Kite"}});
    AddObjectsFile("owl.kiv", {{"Owl"}});
    StartSheet();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    OpenAnalysisPage(*sheet);
    CHScrollListBox& list = *sheet->m_analysisPage.m_agentList;
    const QTreeWidget& tree = *sheet->m_analysisPage.m_resultsTree;

    const struct {
        const char* action;
        std::function<void()> act;
        int selection;
        QString analysed;
    } steps[] = {
        {"tab into the list", [&] { list.setFocus(Qt::TabFocusReason); }, -1, ""},
        {"space", [&] { QTest::keyClick(&list, Qt::Key_Space); }, 0, "File \"kite.kiv\""},
        {"arrow down", [&] { QTest::keyClick(&list, Qt::Key_Down); }, 1, "File \"owl.kiv\""},
        {"control and space", [&] { QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier); },
         -1, ""},
        {"select by program", [&] { list.SetCurSel(0); }, 0, ""},
        {"unselect by program", [&] { list.SetCurSel(-1); }, -1, ""},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(list.GetCurSel(), step.selection) << step.action;
        EXPECT_EQ(AnalysedFile(tree), step.analysed) << step.action;
    }
}

} // namespace
