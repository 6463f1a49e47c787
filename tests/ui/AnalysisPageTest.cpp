#include "analysis/ArchiveString.h"
#include "framework/widgets/HScrollListBox.h"
#include "tests/ui/SheetFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

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

} // namespace
