#include "framework/widgets/HScrollListBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QScrollBar>

namespace {

int Width(const CHScrollListBox& list, const QString& text) {
    const QFontMetrics metrics(list.font());
    return metrics.horizontalAdvance(text) + metrics.averageCharWidth();
}

TEST(HScrollListBox, ExtentFollowsTheWidestLine) {
    CHScrollListBox list;
    const QString narrow = QStringLiteral("ab");
    const QString wide = QStringLiteral("the much wider entry");
    EXPECT_EQ(list.AddString(narrow), 0);
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, narrow));
    EXPECT_EQ(list.AddString(wide), 1);
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, wide));
    EXPECT_EQ(list.GetMaxTextWidth(), Width(list, wide));

    EXPECT_EQ(list.DeleteString(1), 1);
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, narrow));
    EXPECT_EQ(list.DeleteString(5), CHScrollListBox::kError);
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, narrow));

    // Inserting widens only after a successful insert.
    EXPECT_EQ(list.InsertString(7, wide), CHScrollListBox::kError);
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, narrow));
    EXPECT_EQ(list.InsertString(0, wide), 0);
    EXPECT_EQ(list.GetText(0), wide);
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, wide));

    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHorizontalExtent(), 0);
}

TEST(HScrollListBox, SetContentEndsAsAddingEachEntryDoes) {
    const std::vector<CHScrollListBox::Entry> entries = {
        {"beta", 0}, {"Alpha", 1}, {"", 2}, {"alpha", 3}, {"the widest entry of all", 4},
        {"BETA", 5}, {"gamma", 6}};
    for (const bool sorted : {true, false}) {
        CHScrollListBox added;
        CHScrollListBox set;
        for (CHScrollListBox* list : {&added, &set}) {
            list->SetSorted(sorted);
            list->AddString(QStringLiteral("left over"));
        }
        added.ResetContent();
        for (const auto& entry : entries) {
            added.SetItemData(added.AddString(entry.text), entry.data);
        }
        set.SetContent(entries);
        ASSERT_EQ(set.GetCount(), added.GetCount());
        for (int i = 0; i < added.GetCount(); ++i) {
            EXPECT_EQ(set.GetText(i), added.GetText(i)) << sorted << i;
            EXPECT_EQ(set.GetItemData(i), added.GetItemData(i)) << sorted << i;
        }
        EXPECT_EQ(set.GetHorizontalExtent(), added.GetHorizontalExtent());
    }
    CHScrollListBox fontless;
    fontless.SetHasFont(false);
    fontless.SetContent(entries);
    EXPECT_EQ(fontless.GetHorizontalExtent(), 0);
}

TEST(HScrollListBox, EmptyStringsAndAListWithoutFont) {
    CHScrollListBox list;
    const int average = QFontMetrics(list.font()).averageCharWidth();
    list.AddString(QString());
    EXPECT_EQ(list.GetHorizontalExtent(), average);
    list.AddString(QStringLiteral("x"));
    list.AddString(QString());
    ASSERT_EQ(list.GetText(2), QStringLiteral("x"));
    // Empty entries are never measured: with only empty ones left the widest is 0.
    EXPECT_EQ(list.DeleteString(2), 2);
    EXPECT_EQ(list.GetHorizontalExtent(), 0);

    CHScrollListBox fontless;
    fontless.SetHasFont(false);
    fontless.SetHorizontalExtent(30);
    fontless.AddString(QStringLiteral("a long entry that is not measured"));
    EXPECT_EQ(fontless.GetHorizontalExtent(), 30);
    EXPECT_EQ(fontless.GetTextWidth(QStringLiteral("abc")), 0);
    fontless.AddString(QStringLiteral("b"));
    fontless.DeleteString(0);
    EXPECT_EQ(fontless.GetHorizontalExtent(), 0);
}

TEST(HScrollListBox, SortsIgnoringCaseAndKeepsItemData) {
    CHScrollListBox list;
    EXPECT_EQ(list.AddString(QStringLiteral("delta")), 0);
    EXPECT_EQ(list.AddString(QStringLiteral("Bravo")), 0);
    EXPECT_EQ(list.AddString(QStringLiteral("charlie")), 1);
    EXPECT_EQ(list.AddString(QStringLiteral("alpha")), 0);
    EXPECT_EQ(list.SetItemData(2, 42), 0);
    EXPECT_EQ(list.AddString(QStringLiteral("ALPHA2")), 1);
    const QStringList expected{"alpha", "ALPHA2", "Bravo", "charlie", "delta"};
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.GetText(i), expected[i]);
    }
    EXPECT_EQ(list.GetItemData(3), 42);
    EXPECT_EQ(list.GetItemData(9), CHScrollListBox::kError);
    EXPECT_EQ(list.SetCurSel(2), 2);
    EXPECT_EQ(list.GetCurSel(), 2);
}

TEST(HScrollListBox, ScrollBarReachesTheWidestLine) {
    CHScrollListBox list;
    list.resize(80, 100);
    list.show();
    list.AddString(QString(60, QChar('W')));
    const int extent = list.GetHorizontalExtent();
    ASSERT_GT(extent, list.viewport()->width());
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), extent - list.viewport()->width());
    list.ResetContent();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
}

TEST(HScrollListBox, DirListsMatchingNamesAndWidens) {
    TempDir folder;
    folder.Write("b.kiv", "1");
    folder.Write("A.kiv", "2");
    folder.Write("notes.txt", "3");
    folder.Write("sub/c.kiv", "4");
    CHScrollListBox list;
    const QString pattern = QString::fromStdString((folder / "*.kiv").string());
    EXPECT_EQ(list.Dir(CHScrollListBox::kDirReadWrite, pattern), 1);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetText(0), QStringLiteral("A.kiv"));
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, QStringLiteral("A.kiv")));

    const QString all = QString::fromStdString((folder / "*").string());
    CHScrollListBox directories;
    EXPECT_EQ(directories.Dir(CHScrollListBox::kDirDirectory | CHScrollListBox::kDirExclusive, all),
              0);
    EXPECT_EQ(directories.GetText(0), QStringLiteral("[sub]"));
    EXPECT_EQ(list.Dir(0, QString::fromStdString((folder / "missing/*").string())),
              CHScrollListBox::kError);
}

} // namespace
