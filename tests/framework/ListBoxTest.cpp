#include "framework/widgets/HScrollListBox.h"
#include "tests/support/TempDir.h"
#include "tests/support/WidgetApplication.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <utility>

namespace {

// The lists are widgets; one application for the whole program.
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new CWidgetApplication);

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

// The ink (dark pixels) of `image` inside `area` from column `fromRight`
// before the last inked one on, as points relative to that column and to the
// topmost inked row: the shape of the text's last letters wherever drawn.
std::set<std::pair<int, int>> InkOfTail(const QImage& image, const QRect& area, int fromRight) {
    std::set<std::pair<int, int>> ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                ink.emplace(x, y);
            }
        }
    }
    if (ink.empty()) {
        return ink;
    }
    const int last = std::max_element(ink.begin(), ink.end())->first;
    std::set<std::pair<int, int>> tail;
    for (const auto& [x, y] : ink) {
        if (x >= last - fromRight) {
            tail.emplace(x - last, y);
        }
    }
    const int top = std::min_element(tail.begin(), tail.end(), [](auto a, auto b) {
                        return a.second < b.second;
                    })->second;
    std::set<std::pair<int, int>> shape;
    for (const auto& [x, y] : tail) {
        shape.emplace(x, y - top);
    }
    return shape;
}

// The shape of `text`'s last letters in `font`, as InkOfTail finds it.
std::set<std::pair<int, int>> TailOfText(const QString& text, const QFont& font, int fromRight) {
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + metrics.maxWidth(), metrics.height(),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(0, metrics.ascent(), text);
    painter.end();
    return InkOfTail(image, image.rect(), fromRight);
}

// Time for a shown list to settle; it has nothing left to do long before.
constexpr int kSettleMs = 100;

// A list whose scroll bar flips between two answers lays itself out without
// end, all inside one round of events; this one stops after kEndless layouts,
// far more than showing a list takes, so that the test can say so.
class CountedList : public CHScrollListBox {
public:
    static constexpr int kEndless = 1000;
    int layouts = 0;

protected:
    void updateGeometries() override {
        if (++layouts < kEndless) {
            CHScrollListBox::updateGeometries();
        }
    }
};

// A name wider than the list, as a player sees it: the list comes to rest with its scroll bar shown
// and reaching the extent, and the End key on the bar shows the name's last letters as its font
// draws them, however it was filled and whatever font it was given afterwards. An elided or cut
// name ends in other ink.
TEST(HScrollListBox, AWideNameIsDrawnWholeAndScrollsIntoView) {
    const QString name = QStringLiteral("Bouncing ball with a very long name that goes on");
    // Sorted, as the agents' lists are, the short name comes last.
    const auto withShortName = [&](CHScrollListBox& list) {
        list.SetContent({{QStringLiteral("Wren"), 0}, {name, 1}});
    };
    const struct {
        const char* filling;
        std::function<void(CHScrollListBox&)> fill;
    } fillings[] = {
        {"added before a short name",
         [&](CHScrollListBox& list) {
             list.AddString(name);
             list.AddString(QStringLiteral("Wren"));
         }},
        {"set with a short name", withShortName},
        {"given a larger font once filled",
         [&](CHScrollListBox& list) {
             withShortName(list);
             QFont larger = list.font();
             larger.setPointSize(larger.pointSize() * 3 / 2);
             list.setFont(larger);
         }},
    };
    for (const auto& filling : fillings) {
        CountedList list;
        list.resize(146, 191); // the agent lists' size in the applet
        filling.fill(list);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMs);
        EXPECT_LT(list.layouts, CountedList::kEndless) << filling.filling;
        QScrollBar& bar = *list.horizontalScrollBar();
        ASSERT_TRUE(bar.isVisible()) << filling.filling;
        EXPECT_EQ(bar.maximum(), list.GetHorizontalExtent() - list.viewport()->width());
        QTest::keyClick(&bar, Qt::Key_End);
        const QImage shown = list.viewport()->grab().toImage();
        const QRect row = list.visualItemRect(list.item(0)).intersected(shown.rect());
        const int tailWidth = QFontMetrics(list.font()).horizontalAdvance(QStringLiteral("s on"));
        const auto expected = TailOfText(name, list.font(), tailWidth);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(InkOfTail(shown, row, tailWidth), expected) << filling.filling;
    }
}

// Once an entry is selected, no click leaves the list without one.
TEST(HScrollListBox, ClicksKeepASelection) {
    const struct {
        const char* click;
        int row; // -1: below the entries
        Qt::KeyboardModifiers modifiers;
        int selected;
    } clicks[] = {
        {"ctrl+click on the selected entry", 0, Qt::ControlModifier, 0},
        {"click on the selected entry", 0, {}, 0},
        {"click below the entries", -1, {}, 0},
        {"ctrl+click below the entries", -1, Qt::ControlModifier, 0},
        {"ctrl+click on another entry", 1, Qt::ControlModifier, 1},
        {"shift+click on another entry", 1, Qt::ShiftModifier, 1},
    };
    for (const auto& click : clicks) {
        CHScrollListBox list;
        list.resize(120, 100);
        list.SetContent({{QStringLiteral("one"), 0}, {QStringLiteral("two"), 1}});
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.item(0)).center());
        const QPoint at = click.row == -1 ? QPoint(10, list.viewport()->height() - 5)
                                          : list.visualItemRect(list.item(click.row)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, click.modifiers, at);
        EXPECT_EQ(list.GetCurSel(), click.selected) << click.click;
        EXPECT_EQ(list.selectedItems().size(), 1) << click.click;
    }
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
