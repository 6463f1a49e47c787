#include "app/GameConfig.h"
#include "framework/widgets/HScrollListBox.h"
#include "tests/ui/SheetFixture.h"

#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace fs = std::filesystem;

namespace {

// Long enough for the once-a-second refresh to come round.
constexpr int kRefreshWait = 1500;

Rgb Centre(const CDibBitmap& canvas) {
    return CanvasPixel(canvas, canvas.Width() / 2, canvas.Height() / 2);
}

// Pixels in the canvas's top rows bright enough to belong to the wait text
// (the test picture sits lower down, on black).
int BrightPixelsAtTop(const CDibBitmap& canvas) {
    constexpr int kTextRows = 14;
    int bright = 0;
    for (int y = 0; y < kTextRows; ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            bright += CanvasPixel(canvas, x, y).red > 200 ? 1 : 0;
        }
    }
    return bright;
}

std::string Click(QPushButton* button) {
    ::testing::internal::CaptureStderr();
    QTest::mouseClick(button, Qt::LeftButton);
    return ::testing::internal::GetCapturedStderr();
}

// Drags `urls` onto the target and drops them there, also when the drag was
// refused (as a platform might deliver the drop anyway); whether it was accepted.
bool DragAndDrop(QWidget& target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &drop);
    return enter.isAccepted();
}

QUrl FileUrl(const fs::path& file) {
    return QUrl::fromLocalFile(QString::fromStdString(file.string()));
}

void DropOnto(QWidget& target, const std::vector<fs::path>& files) {
    QList<QUrl> urls;
    for (const auto& file : files) {
        urls << FileUrl(file);
    }
    ASSERT_TRUE(DragAndDrop(target, urls));
}

TEST_F(SheetTest, AgentsAreListedByNameAndEachEntryLeadsToItsOwnAgent) {
    AddObjectsFile("mix.kiv", {{"Zet\xE4"}, {"alpha"}, {"Beta"}, {"Twin", 5}, {"Twin", 7}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();

    EXPECT_EQ(Entries(*page.m_agentList),
              QStringList({"alpha", "Beta", "Twin", "Twin", "Zet\u00E4"}));
    EXPECT_EQ(page.m_selected, 1);
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About alpha");
    EXPECT_EQ(page.m_quantityText->text(), "Infinite");

    ClickEntry(*page.m_agentList, "Zet\u00E4");
    EXPECT_EQ(page.m_selected, 0);
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About Zet\u00E4");
    ClickEntry(*page.m_agentList, "Twin", 0);
    const int firstTwin = page.m_selected;
    const QString firstQuantity = page.m_quantityText->text();
    ClickEntry(*page.m_agentList, "Twin", 1);
    EXPECT_EQ((std::set<int>{firstTwin, page.m_selected}), (std::set<int>{3, 4}));
    EXPECT_EQ((QStringList{firstQuantity, page.m_quantityText->text()}),
              (firstTwin == 3 ? QStringList{"5", "7"} : QStringList{"7", "5"}));
}

TEST_F(SheetTest, InjectStopsAtAMissingDependencyWithoutSendingAnything) {
    AddObjectsFile("lamp.kiv", {{"Lamp", 3, 0, {{0, "lamp.bmp"}}}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();

    EXPECT_EQ(Click(page.m_injectButton), "Splicebox: A required file is missing: \"" +
                                              GetGameDirectory(kImagesDirectory) + "lamp.bmp\"\n");
    EXPECT_TRUE(MacrosSinceConnect().empty());
    EXPECT_EQ(page.m_quantityText->text(), "3");
    EXPECT_TRUE(page.m_injectButton->isEnabled());
    EXPECT_EQ(Centre(page.m_canvas), (Rgb{255, 255, 255}));
}

TEST_F(SheetTest, AnInjectedAgentWaitsDimmedAndComesBackWhenItsIntervalEnds) {
    AddObjectsFile("ball.kiv", {{"Ball", CAgent::kUnlimited, 30}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();
    EXPECT_EQ(Centre(page.m_canvas), (Rgb{255, 255, 255}));
    EXPECT_EQ(BrightPixelsAtTop(page.m_canvas), 0);

    EXPECT_EQ(Click(page.m_injectButton), "");
    EXPECT_EQ(MacrosSinceConnect(),
              (std::vector<std::string>{"scrp 2 9 1 1,endm", "inst,new: simp Ball,endm"}));
    EXPECT_EQ(Centre(page.m_canvas), (Rgb{127, 127, 127}));
    EXPECT_GT(BrightPixelsAtTop(page.m_canvas), 0) << "the wait is written over the picture";
    EXPECT_FALSE(page.m_injectButton->isEnabled());
    EXPECT_EQ(page.m_quantityText->text(), "Infinite");

    clock.Set(kNow + 30);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.m_injectButton->isEnabled(); }, kRefreshWait));
    EXPECT_EQ(Centre(page.m_canvas), (Rgb{255, 255, 255}));
    EXPECT_EQ(BrightPixelsAtTop(page.m_canvas), 0);
}

TEST_F(SheetTest, ALastUseLeavesTheAgentDimmedWithNothingLeftButRemovable) {
    AddObjectsFile("seed.kiv", {{"Seed", 1, 0}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();

    EXPECT_EQ(Click(page.m_injectButton), "");
    QTest::qWait(kRefreshWait);
    EXPECT_EQ(page.m_quantityText->text(), "0");
    EXPECT_FALSE(page.m_injectButton->isEnabled());
    EXPECT_TRUE(page.m_removeButton->isEnabled());
    EXPECT_EQ(Centre(page.m_canvas), (Rgb{127, 127, 127}));
    EXPECT_GT(BrightPixelsAtTop(page.m_canvas), 0);

    EXPECT_EQ(Click(page.m_removeButton), "");
    EXPECT_EQ(MacrosSinceConnect().back(), "rscr,kill Seed,endm");
}

TEST_F(SheetTest, TheRefreshTimerRunsOnlyWhileTheAgentsTabIsActive) {
    AddObjectsFile("two.kiv", {{"One"}, {"Two"}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();
    EXPECT_NE(page.m_timerId, 0);
    ClickEntry(*page.m_agentList, "Two");

    sheet->SetActivePage(2);
    EXPECT_EQ(page.m_timerId, 0);
    sheet->SetActivePage(1);
    EXPECT_NE(page.m_timerId, 0);
    EXPECT_EQ(page.m_selected, 1);
    EXPECT_EQ(page.m_agentList->GetCurSel(), 1);
}

TEST_F(SheetTest, ADropBeforeTheAgentsPageWasShownEndsOnItsFullList) {
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    StartSheet();
    ASSERT_FALSE(sheet->m_agentsPage.HasWindow());
    const fs::path toy = environment.Root() / "Toy.KIV";
    SaveAgentFile(toy.string(), {{"Ant"}});

    DropOnto(*sheet, {toy});
    EXPECT_FALSE(fs::exists(toy));
    EXPECT_TRUE(fs::exists(Objects() / "Toy.KIV"));
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    CInjectorPage& page = sheet->m_agentsPage;
    EXPECT_EQ(Entries(*page.m_agentList), QStringList({"Ant", "Zeta"}));
    EXPECT_EQ(page.m_selected, 1);
}

TEST_F(SheetTest, ADropRefillsTheShownListAndBringsItForward) {
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();
    sheet->SetActivePage(2);
    const fs::path toy = environment.Root() / "Toy.KIV";
    SaveAgentFile(toy.string(), {{"Ant"}});

    DropOnto(*sheet, {toy});
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_EQ(Entries(*page.m_agentList), QStringList({"Ant", "Zeta"}));
    EXPECT_EQ(page.m_agentList->GetCurSel(), 0);
    EXPECT_EQ(page.m_selected, 1);
}

TEST_F(SheetTest, OnlyADropHoldingALocalFileIsTakenOrChangesAnything) {
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    StartSheet();
    const fs::path toy = environment.Root() / "Toy.KIV";
    SaveAgentFile(toy.string(), {{"Ant"}});
    const QUrl web(QStringLiteral("https://example.com/Web.kiv"));

    const struct {
        const char* what;
        QList<QUrl> urls;
        bool accepted;
        int activeTab;
        std::size_t agents;
    } drops[] = {
        {"a web address", {web}, false, 0, 1},
        {"text without addresses", {}, false, 0, 1},
        {"a web address and a file", {web, FileUrl(toy)}, true, 1, 2},
    };
    for (const auto& drop : drops) {
        EXPECT_EQ(DragAndDrop(*sheet, drop.urls), drop.accepted) << drop.what;
        EXPECT_EQ(sheet->GetActiveIndex(), drop.activeTab) << drop.what;
        EXPECT_EQ(sheet->m_catalogue.m_agents.size(), drop.agents) << drop.what;
    }
    EXPECT_TRUE(fs::exists(Objects() / "Toy.KIV"));
}

} // namespace
