#include "framework/widgets/HScrollListBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QScrollBar>

#include <functional>
#include <optional>

namespace {

constexpr int kError = CHScrollListBox::kError;

int Width(const CHScrollListBox& list, const QString& text) {
    const QFontMetrics metrics(list.font());
    return metrics.horizontalAdvance(text) + metrics.averageCharWidth();
}

TEST(HScrollListBox, EveryChangeKeepsTheExtentAtTheWidestLine) {
    CHScrollListBox list;
    const QString narrow = QStringLiteral("ab");
    const QString wide = QStringLiteral("the much wider entry");
    // `widest` is the text the extent must fit; none for an extent of 0.
    const struct {
        const char* change;
        std::function<int()> make;
        int answer;
        std::optional<QString> widest;
    } steps[] = {
        {"add narrow", [&] { return list.AddString(narrow); }, 0, narrow},
        {"add wide", [&] { return list.AddString(wide); }, 1, wide},
        {"delete wide", [&] { return list.DeleteString(1); }, 1, narrow},
        {"delete past the end", [&] { return list.DeleteString(5); }, kError, narrow},
        {"insert past the end", [&] { return list.InsertString(7, wide); }, kError, narrow},
        {"insert at the top", [&] { return list.InsertString(0, wide); }, 0, wide},
        {"reset", [&] { return (list.ResetContent(), list.GetCount()); }, 0, std::nullopt},
        // An empty entry counts as it is added, but never when the widest is sought again.
        {"add empty", [&] { return list.AddString(QString()); }, 0, QString()},
        {"add x", [&] { return list.AddString(QStringLiteral("x")); }, 1, QStringLiteral("x")},
        {"delete x", [&] { return list.DeleteString(1); }, 1, std::nullopt},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(step.make(), step.answer) << step.change;
        EXPECT_EQ(list.GetHorizontalExtent(), step.widest ? Width(list, *step.widest) : 0)
            << step.change;
    }

    // The scroll bar reaches the widest line.
    list.resize(80, 100);
    list.show();
    list.AddString(QString(60, QChar('W')));
    ASSERT_GT(list.GetHorizontalExtent(), list.viewport()->width());
    EXPECT_EQ(list.horizontalScrollBar()->maximum(),
              list.GetHorizontalExtent() - list.viewport()->width());
    list.ResetContent();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
}

TEST(HScrollListBox, SortsIgnoringCaseAndSetContentEndsAsAddingEachEntryDoes) {
    const std::vector<CHScrollListBox::Entry> entries = {
        {"delta", 0}, {"Bravo", 1}, {"", 2},      {"charlie", 3}, {"the widest entry of all", 4},
        {"alpha", 5}, {"ALPHA", 6}, {"bravo", 7}, {"ALPHA2", 8}};
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
        if (sorted) {
            // Equal names keep the order they came in.
            EXPECT_EQ((QStringList{set.GetText(1), set.GetText(2), set.GetText(3), set.GetText(4)}),
                      (QStringList{"alpha", "ALPHA", "ALPHA2", "Bravo"}));
            EXPECT_EQ(set.FindItemData(3), 6);
        }
    }
    // Out of range, and the selection, in the order asked.
    CHScrollListBox list;
    list.AddString(QStringLiteral("one"));
    EXPECT_EQ(
        (std::vector{list.GetItemData(9), list.FindItemData(9), list.SetItemData(1, 1),
                     list.SetCurSel(0), list.GetCurSel(), list.SetCurSel(-1), list.GetCurSel()}),
        (std::vector{kError, kError, kError, 0, 0, kError, kError}));

    // Without a font nothing is measured, and the extent is what was set.
    CHScrollListBox fontless;
    fontless.SetHasFont(false);
    fontless.SetHorizontalExtent(30);
    fontless.AddString(QStringLiteral("a long entry that is not measured"));
    EXPECT_EQ(fontless.GetHorizontalExtent(), 30);
    fontless.DeleteString(0);
    EXPECT_EQ(fontless.GetHorizontalExtent(), 0);
    fontless.SetContent(entries);
    EXPECT_EQ(fontless.GetHorizontalExtent(), 0);
}

TEST(HScrollListBox, DirListsMatchingNamesAndWidens) {
    TempDir folder;
    for (const char* name : {"b.kiv", "A.kiv", "notes.txt", "sub/c.kiv"}) {
        folder.Write(name, "");
    }
    const auto spec = [&](const char* pattern) {
        return QString::fromStdString((folder / pattern).string());
    };
    CHScrollListBox list;
    EXPECT_EQ(list.Dir(CHScrollListBox::kDirReadWrite, spec("*.kiv")), 1);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetText(0), QStringLiteral("A.kiv"));
    EXPECT_EQ(list.GetHorizontalExtent(), Width(list, QStringLiteral("A.kiv")));

    CHScrollListBox directories;
    EXPECT_EQ(
        directories.Dir(CHScrollListBox::kDirDirectory | CHScrollListBox::kDirExclusive, spec("*")),
        0);
    EXPECT_EQ(directories.GetText(0), QStringLiteral("[sub]"));
    EXPECT_EQ(list.Dir(0, spec("missing/*")), kError);
}

} // namespace
