#include "tests/support/ChemicalList.h"
#include "tests/ui/SheetFixture.h"

#include <QTreeWidget>

#include <functional>

namespace {

std::string OpenAnalysisPage(CInjectorSheet& sheet) {
    return MessagesOf([&] { sheet.SetActivePage(2); });
}

// The file the results tree analyses, "" when the tree is empty.
QString AnalysedFile(const QTreeWidget& tree) {
    return tree.topLevelItemCount() > 0 ? tree.topLevelItem(0)->child(0)->text(0) : QString();
}

TEST_F(SheetTest, WithoutChemicalsTheAnalysisPageStaysEmptyAndTheListIsMissedOnce) {
    StartSheet();
    EXPECT_EQ(OpenAnalysisPage(*sheet), "Splicebox: Error loading chemical list\n");
    EXPECT_EQ(sheet->m_analysisPage.m_agentList->GetCount(), 0);
    EXPECT_EQ(sheet->m_analysisPage.m_resultsTree->topLevelItemCount(), 0);
    sheet->SetActivePage(0);
    EXPECT_EQ(OpenAnalysisPage(*sheet), "") << "the list is not read again";
}

TEST_F(SheetTest, SelectingAnAgentShowsItsAnalysisWithPictures) {
    const auto names = ChemicalList([](int i) { return "Chemical " + std::to_string(i); });
    environment.Root().Write(game / "allchemicals.str", std::string(names.begin(), names.end()));
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    AddObjectsFile("alpha.kiv", {{"alpha"}});
    StartSheet();
    EXPECT_EQ(OpenAnalysisPage(*sheet), "");
    CAnalysisPage& page = sheet->m_analysisPage;
    const QTreeWidget& tree = *page.m_resultsTree;
    EXPECT_EQ(tree.topLevelItemCount(), 0);

    ClickEntry(*page.m_agentList, "Zeta");
    ASSERT_EQ(tree.topLevelItemCount(), 4);
    EXPECT_EQ(
        (QStringList{tree.topLevelItem(0)->text(0), tree.topLevelItem(1)->text(0),
                     tree.topLevelItem(2)->text(0), tree.topLevelItem(3)->text(0)}),
        (QStringList{"General Information:", "Scripts:", "Chemicals Affected:", "Warnings:"}));
    EXPECT_EQ(AnalysedFile(tree), "File \"zeta.kiv\"");
    EXPECT_TRUE(tree.topLevelItem(3)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->icon(0).isNull());
    const QImage warning = tree.topLevelItem(3)->icon(0).pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(warning.pixel(0, 0)), 0) << "cyan is transparent";
    EXPECT_EQ(QColor(warning.pixel(7, 4)), QColor(208, 24, 24)) << "a red exclamation mark";

    ClickEntry(*page.m_agentList, "alpha");
    EXPECT_EQ(AnalysedFile(tree), "File \"alpha.kiv\"");
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
        EXPECT_EQ(AnalysedFile(*sheet->m_analysisPage.m_resultsTree), step.analysed) << step.action;
    }
}

} // namespace
