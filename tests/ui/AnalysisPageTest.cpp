#include "tests/support/ChemicalList.h"
#include "tests/ui/SheetFixture.h"

#include <QTreeWidget>

namespace {

// The file the results tree analyses, "" when the tree is empty.
QString AnalysedFile(const QTreeWidget& tree) {
    return tree.topLevelItemCount() > 0 ? tree.topLevelItem(0)->child(0)->text(0) : QString();
}

TEST_F(SheetTest, SelectingAnAgentShowsItsAnalysisWithPictures) {
    const auto names = ChemicalList([](int i) { return "Chemical " + std::to_string(i); });
    environment.Root().Write(game / "allchemicals.str", std::string(names.begin(), names.end()));
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    AddObjectsFile("alpha.kiv", {{"alpha"}});
    StartSheet();
    EXPECT_EQ(MessagesOf([&] { sheet->SetActivePage(2); }), "");
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

} // namespace
