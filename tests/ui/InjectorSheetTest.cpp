#include "core/GameConfig.h"
#include "core/MessageBox.h"
#include "framework/DibBitmap.h"
#include "platform/DirectoryListing.h"
#include "tests/support/ChemicalList.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/WidgetApplication.h"
#include "tests/ui/SheetFixture.h"
#include "ui/DetailsText.h"
#include "ui/widgets/CanvasText.h"

#include <QFileSystemWatcher>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The widgets' application and the private bus, for the whole executable.
const bool g_environments = RegisterWidgetsThenPrivateBus();

// Long enough for the once-a-second refresh to come round.
constexpr int kRefreshWait = 1500;

// The canvas's centre pixel, and whether the wait text shows.
using Look = std::pair<QColor, bool>;
const Look kReady{QColor(255, 255, 255), false};
const Look kWaiting{QColor(127, 127, 127), true};

Look LookOf(const CDibBitmap& canvas) {
    const QImage image = canvas.AsImage();
    // The wait text is the only bright thing in the top rows: the picture sits
    // lower down, on black.
    bool waitShown = false;
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            waitShown = waitShown || qRed(image.pixel(x, y)) > 200;
        }
    }
    return {QColor(image.pixel(image.width() / 2, image.height() / 2)), waitShown};
}

std::string Click(QPushButton* button) {
    return MessagesOf([&] { QTest::mouseClick(button, Qt::LeftButton); });
}

TEST(AgentDetails, WaitAndQuantityTextsInTheUsersLanguage) {
    const ScopedLocale german("de_DE.UTF-8");
    // Whole days, else from the largest unit there is; up to ten seconds bare.
    const std::pair<std::int32_t, const char*> waits[] = {
        {172799, "1 Tag(e)"}, {11107, "03:05:07"}, {3599, "59:59"}, {11, "00:11"}, {10, "10"}};
    for (const auto& [seconds, text] : waits) {
        EXPECT_EQ(FormatWaitText(seconds), text) << seconds << " seconds";
    }
    EXPECT_EQ(FormatQuantityText(65535), "Endlos");
}

// The wait text lies over the picture as Qt draws white text over it: centred on the top edge,
// each letter in its place, the picture showing through the smoothed edges.
TEST(AgentDetails, TheWaitTextLiesOverThePictureAsQtDrawsIt) {
    const QString text = "1 Tag(e)";
    const QFont font;
    const QColor picture(0x10, 0x20, 0x40);
    CDibBitmap canvas;
    canvas.Create(80, 24, kDib24);
    canvas.FillRect(0, 0, 80, 24, 0x00402010);
    DrawTopCentredText(canvas, text, font);

    QImage expected(80, 24, QImage::Format_ARGB32_Premultiplied);
    expected.fill(picture);
    QPainter painter(&expected);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(expected.rect(), Qt::AlignHCenter | Qt::AlignTop, text);
    painter.end();
    const QImage drawn = canvas.AsImage();
    int lettered = 0;
    int misplaced = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            const QRgb got = drawn.pixel(x, y);
            lettered += want != picture.rgb();
            // The two blends round apart by a step or two.
            misplaced += std::abs(qRed(want) - qRed(got)) > 2 ||
                         std::abs(qGreen(want) - qGreen(got)) > 2 ||
                         std::abs(qBlue(want) - qBlue(got)) > 2;
        }
    }
    EXPECT_GT(lettered, 20);
    EXPECT_EQ(misplaced, 0);

    // A canvas of another format is left alone.
    canvas.Create(80, 24, kDib565);
    canvas.FillRect(0, 0, 80, 24, 0x00402010);
    const QImage before = canvas.AsImage().copy();
    DrawTopCentredText(canvas, text, font);
    EXPECT_EQ(canvas.AsImage(), before);
}

TEST_F(SheetTest, AgentsAreListedByNameAndEachEntryLeadsToItsOwnAgent) {
    AddObjectsFile("mix.kiv", {{"Zet\xE4"}, {"alpha"}, {"Beta"}, {"Twin", 5}, {"Twin", 7}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();
    EXPECT_EQ(Entries(*page.m_agentList),
              QStringList({"alpha", "Beta", "Twin", "Twin", "Zet\u00E4"}));
    EXPECT_EQ(page.SelectedPosition(), 1);
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About alpha");
    EXPECT_EQ(page.m_quantityText->text(), "Infinite");

    ClickEntry(*page.m_agentList, "Zet\u00E4");
    EXPECT_EQ(page.SelectedPosition(), 0);
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About Zet\u00E4");
    std::set<std::pair<int, QString>> twins;
    for (int occurrence : {0, 1}) {
        ClickEntry(*page.m_agentList, "Twin", occurrence);
        twins.emplace(page.SelectedPosition(), page.m_quantityText->text());
    }
    EXPECT_EQ(twins, (std::set<std::pair<int, QString>>{{3, "5"}, {4, "7"}}));

    // The refresh timer runs only while the page is the active tab, which keeps its selection.
    const int selected = page.SelectedPosition();
    EXPECT_TRUE(page.RefreshTimerRuns());
    sheet->SetActivePage(2);
    EXPECT_FALSE(page.RefreshTimerRuns());
    sheet->SetActivePage(1);
    EXPECT_TRUE(page.RefreshTimerRuns());
    EXPECT_EQ(page.SelectedPosition(), selected);
    EXPECT_EQ(page.m_agentList->GetCurSel(), 3);
}

TEST_F(SheetTest, AnInjectedAgentWaitsDimmedUntilItsIntervalEndsAndALastUseStaysRemovable) {
    AddObjectsFile("two.kiv", {{"Ball", CAgent::kUnlimited, 30}, {"Seed", 1, 0}});
    StartSheet();
    CInjectorPage& page = ShowAgentsPage();
    EXPECT_EQ(LookOf(page.Canvas()), kReady);

    std::vector<std::string> macros = sim->Macros();
    EXPECT_EQ(Click(page.m_injectButton), "");
    macros.insert(macros.end(), {"scrp 2 9 1 1,endm", "inst,new: simp Ball,endm"});
    EXPECT_EQ(sim->Macros(), macros);
    EXPECT_EQ(LookOf(page.Canvas()), kWaiting);
    EXPECT_FALSE(page.m_injectButton->isEnabled());
    clock.Set(kNow + 30);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.m_injectButton->isEnabled(); }, kRefreshWait));
    EXPECT_EQ(LookOf(page.Canvas()), kReady);

    ClickEntry(*page.m_agentList, "Seed");
    EXPECT_EQ(Click(page.m_injectButton), "");
    page.RefreshDetails(); // as the next tick does
    EXPECT_EQ(page.m_quantityText->text(), "0");
    EXPECT_FALSE(page.m_injectButton->isEnabled());
    EXPECT_EQ(LookOf(page.Canvas()), kWaiting);
    EXPECT_TRUE(page.m_removeButton->isEnabled());
    EXPECT_EQ(Click(page.m_removeButton), "");
    EXPECT_EQ(sim->Macros().back(), "rscr,kill Seed,endm");
}

TEST_F(SheetTest, ADropOfALocalFileFillsTheAgentsPageAndBringsItForward) {
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    StartSheet();
    EXPECT_FALSE(sheet->AgentsPage().HasWindow());
    const TempDir& root = environment.Root();
    const auto url = [](const fs::path& path) {
        return QUrl::fromLocalFile(QString::fromStdString(path.string()));
    };
    const auto file = [&](const char* name) {
        const fs::path path = root / (std::string(name) + ".KIV");
        SaveAgentFile(path.string(), {{name}});
        return url(path);
    };
    const std::string zeta = root.Read(Objects() / "zeta.kiv");
    const fs::path twin = root.Write("zeta.kiv", "another Zeta");
    const fs::path notes = root.Write("notes.txt", "notes");
    const QUrl web(QStringLiteral("https://example.com/Web.kiv"));
    const struct {
        const char* what;
        int activeBefore;
        QList<QUrl> urls;
        QStringList listed; // none: the drop is refused
        std::string message;
    } drops[] = {
        {"a web address", 0, {web}, {}, ""},
        {"text without addresses", 0, {}, {}, ""},
        {"a file before the Agents page was shown", 0, {web, file("Ant")}, {"Ant", "Zeta"}, ""},
        {"a file while another page is shown", 2, {file("Bee")}, {"Ant", "Bee", "Zeta"}, ""},
        // Nothing is ever replaced, and the first file that cannot be moved stops the rest.
        {"a name the folder has",
         2,
         {url(twin)},
         {"Ant", "Bee", "Zeta"},
         "Error reading from file \"" + twin.string() + "\""},
        {"the folder's own file",
         2,
         {url(Objects() / "zeta.kiv")},
         {"Ant", "Bee", "Zeta"},
         "Error reading from file \"" + (Objects() / "zeta.kiv").string() + "\""},
        {"files after one that is no agent file",
         2,
         {file("Cat"), url(notes), file("Dog")},
         {"Ant", "Bee", "Cat", "Zeta"},
         "Error: \"" + notes.string() + "\" is not a Mirewalk 2 Kiv file"},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.what);
        sheet->SetActivePage(drop.activeBefore);
        const bool accepted = !drop.listed.isEmpty();
        // Dropped also when the drag was refused, as a platform might deliver it anyway.
        QMimeData data;
        data.setUrls(drop.urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(sheet.get(), &enter);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        EXPECT_EQ(MessagesOf([&] { QApplication::sendEvent(sheet.get(), &dropped); }),
                  drop.message.empty() ? "" : "Splicebox: " + drop.message + "\n");
        EXPECT_EQ(enter.isAccepted(), accepted);
        EXPECT_EQ(sheet->GetActiveIndex(), accepted ? 1 : 0);
        EXPECT_EQ(sheet->Catalogue().Agents().size(), std::max<std::size_t>(drop.listed.size(), 1));
        if (accepted) {
            const CInjectorPage& page = sheet->AgentsPage();
            EXPECT_EQ(Entries(*page.m_agentList), drop.listed);
            EXPECT_EQ(page.m_agentList->GetCurSel(), 0);
            EXPECT_EQ(page.SelectedPosition(), 1);
        }
    }
    EXPECT_EQ(root.Read(Objects() / "zeta.kiv"), zeta);
    EXPECT_EQ(root.Read(twin), "another Zeta");
    const std::pair<const char*, bool> files[] = {
        {"Ant.KIV", true}, {"Cat.KIV", true}, {"notes.txt", false}, {"Dog.KIV", false}};
    for (const auto& [name, moved] : files) {
        EXPECT_EQ(fs::exists(Objects() / name), moved) << name;
        EXPECT_EQ(fs::exists(root / name), !moved) << name;
    }
}

// Fails, as a failing disk would, once it has delivered `entries` entries besides "." and "..".
class FailingEntryReader : public IDirectoryEntryReader {
public:
    explicit FailingEntryReader(int entries) : m_left(entries) {}
    const dirent* Read(DIR* dir) override {
        const dirent* found = m_left > 0 ? ::readdir(dir) : nullptr;
        if (found == nullptr) {
            errno = EIO;
        } else if (std::strcmp(found->d_name, ".") != 0 && std::strcmp(found->d_name, "..") != 0) {
            --m_left;
        }
        return found;
    }

private:
    int m_left;
};

// A folder copied from a system whose file names ignore case, where every fixed
// name is found in another case, and whose objects listing fails part way.
TEST_F(SheetTest, AGameFolderInAnyCaseStartsAndAFailedListingKeepsWhatItListed) {
    environment.SetLocale("de_DE.UTF-8");
    const fs::path appletData = game / "Applet Data";
    fs::rename(appletData / "wallpaper.bmp", appletData / "WALLPAPER.BMP");
    fs::rename(appletData / "Injector.bmp", appletData / "injector.BMP");
    // 256 empty names after the 16-bit head.
    environment.Root().Write(game / "ALLCHEMICALSDEU.STR", std::string(2 + 256, '\0'));
    for (const char* name : {"a", "b", "c", "d"}) {
        AddObjectsFile(std::string(name) + ".KIV", {{name}});
    }
    // The two files the folder lists first are the ones delivered before the failure.
    QStringList listedFirst;
    for (auto entry = fs::directory_iterator(Objects()); listedFirst.size() < 2; ++entry) {
        listedFirst << QString::fromStdString(entry->path().stem().string());
    }
    std::sort(listedFirst.begin(), listedFirst.end());

    FailingEntryReader failing(2);
    EXPECT_EQ(StartSheet(failing), "Splicebox: Fehler bei der Suche nach Kiv-Dateien\n");
    EXPECT_TRUE(sheet->Wallpaper().IsValid());
    EXPECT_TRUE(sheet->CoverPage().Picture().IsValid());
    EXPECT_EQ(Entries(*ShowAgentsPage().m_agentList), listedFirst);
    EXPECT_EQ(MessagesOf([&] { sheet->SetActivePage(2); }), "");
    EXPECT_EQ(sheet->AnalysisPage().ChemicalNames().Name(17), "<17>");
}

TEST_F(SheetTest, SelectingAnAgentShowsItsAnalysisWithPictures) {
    const auto names = ChemicalList([](int i) { return "Chemical " + std::to_string(i); });
    environment.Root().Write(game / "allchemicals.str", std::string(names.begin(), names.end()));
    AddObjectsFile("zeta.kiv", {{"Zeta"}});
    AddObjectsFile("alpha.kiv", {{"alpha"}});
    StartSheet();
    EXPECT_EQ(MessagesOf([&] { sheet->SetActivePage(2); }), "");
    CAnalysisPage& page = sheet->AnalysisPage();
    const QTreeWidget& tree = *page.m_resultsTree;
    EXPECT_EQ(tree.topLevelItemCount(), 0);

    // The analysed file heads the first of four sections; only the warnings are open.
    const auto analysed = [&] { return tree.topLevelItem(0)->child(0)->text(0); };
    ClickEntry(*page.m_agentList, "Zeta");
    ASSERT_EQ(tree.topLevelItemCount(), 4);
    EXPECT_EQ(analysed(), "File \"zeta.kiv\"");
    EXPECT_TRUE(tree.topLevelItem(3)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->isExpanded());
    const QImage warning = tree.topLevelItem(3)->icon(0).pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(warning.pixel(0, 0)), 0) << "cyan is transparent";
    EXPECT_EQ(qAlpha(warning.pixel(7, 4)), 255) << "the exclamation mark";

    ClickEntry(*page.m_agentList, "alpha");
    ASSERT_EQ(tree.topLevelItemCount(), 4);
    EXPECT_EQ(analysed(), "File \"alpha.kiv\"");
}

// Generous: the folder is read a quarter of a second after it went quiet,
// but these machines are shared.
constexpr int kPatience = 5000;

// Makes the change and waits until any watcher of the folder in this process
// would have read it: once the change is seen here, the events pending for
// the other watchers are handled, which starts their quiet period; a timer
// started after that, and longer, fires after theirs however slow the
// machine, as timers fire in the order they fall due.
void FolderChangeSeen(const fs::path& folder, const std::function<void()>& change) {
    QFileSystemWatcher here({QString::fromStdString(folder.string())});
    bool seen = false;
    QObject::connect(&here, &QFileSystemWatcher::directoryChanged, [&] { seen = true; });
    change();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen; }, kPatience));
    QCoreApplication::processEvents();
    bool due = false;
    QTimer::singleShot(CLiveFolder::kQuietPeriod * 2, [&] { due = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return due; }, kPatience));
}

TEST_F(SheetTest, TheListFollowsTheFolderReadingEachFileOnceCompleteAndKeepsTheSelection) {
    const auto message = [&](const char* name) {
        return "Splicebox: Error: \"" + (Objects() / name).string() +
               "\" is not a Mirewalk 2 Kiv file\n";
    };
    // The file that stopped the start-up scan is not reported again by the reloads.
    environment.Root().Write(Objects() / "early.kiv", "kiv");
    EXPECT_EQ(StartSheet(), message("early.kiv"));
    const CInjectorPage& page = ShowAgentsPage();
    int reloads = 0;
    QObject::connect(&sheet->ObjectsWatcher(), &CObjectsFolderWatcher::Reloaded,
                     [&] { ++reloads; });
    const auto listed = [&](const QStringList& names) {
        return QTest::qWaitFor([&] { return Entries(*page.m_agentList) == names; }, kPatience);
    };
    ::testing::internal::CaptureStderr();
    SaveAgentFile((environment.Root() / "slow.kiv").string(), {{"Slow"}});
    const std::string whole = environment.Root().Read("slow.kiv");
    // Half of it, then a pause longer than the quiet period, then the rest.
    environment.Root().Write(Objects() / "slow.kiv", whole.substr(0, whole.size() / 2));
    QTest::qWait(2 * CLiveFolder::kQuietPeriod.count());
    environment.Root().Write(Objects() / "slow.kiv", whole);
    EXPECT_TRUE(listed({"Slow"}));

    // Written in place: read too soon to tell, then again once it has settled.
    int before = reloads;
    environment.Root().Write(Objects() / "bad.kiv", "kiv");
    EXPECT_TRUE(QTest::qWaitFor([&] { return reloads >= before + 2; }, kPatience));
    // Dropped, which shows the message itself: that form is not read again,
    // as the messages after the reloads below show.
    sheet->OnDropFiles({environment.Root().Write("worse.kiv", "kiv").string()});
    // Damaged in another way: it has its say again.
    before = reloads;
    environment.Root().Write(Objects() / "bad.kiv", "kiv1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return reloads >= before + 2; }, kPatience));
    AddObjectsFile("more.kiv", {{"More"}});
    EXPECT_TRUE(listed({"More", "Slow"}));
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About Slow");
    // A damaged file that became a folder of its name is simply gone.
    FolderChangeSeen(Objects(), [&] {
        fs::remove(Objects() / "bad.kiv");
        fs::create_directory(Objects() / "bad.kiv");
        fs::last_write_time(Objects() / "bad.kiv",
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
    });
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              message("bad.kiv") + message("worse.kiv") + message("bad.kiv"));
    fs::remove(Objects() / "slow.kiv");
    EXPECT_TRUE(listed({"More"}));
    EXPECT_EQ(page.m_descriptionEdit->toPlainText(), "About More") << "the next agent";

    // A thousand files moved in while the folder is watched are one reload, and
    // one more for each time the mover stalled for a quiet period: a reload
    // waits for one, and one may be under way when the last files come.
    const auto staging = environment.Root() / "staging";
    fs::create_directory(staging);
    QStringList names;
    std::vector<std::string> staged;
    for (int i = 1000; i < 2000; ++i) {
        names << QString("agent%1").arg(i);
        staged.push_back(names.back().toStdString() + ".kiv");
        SaveAgentFile((staging / staged.back()).string(), {{names.back().toStdString()}});
    }
    names << "More";
    before = reloads;
    std::chrono::steady_clock::duration moving{};
    std::thread mover([&] {
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& name : staged) {
            fs::rename(staging / name, Objects() / name);
        }
        moving = std::chrono::steady_clock::now() - start;
    });
    EXPECT_TRUE(listed(names));
    mover.join();
    EXPECT_LE(reloads - before, 2 + moving / CLiveFolder::kQuietPeriod) << reloads - before;
}

// Each agent file's object, by path.
std::map<std::string, const CAgentFile*> FileObjects(const CAgentCatalogue& catalogue) {
    std::map<std::string, const CAgentFile*> files;
    for (const auto& file : catalogue.Files()) {
        files[file->Path()] = file.get();
    }
    return files;
}

std::vector<bool> ExpandedSections(const QTreeWidget& tree) {
    std::vector<bool> expanded;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        expanded.push_back(tree.topLevelItem(i)->isExpanded());
    }
    return expanded;
}

// The shown messages; the first closes the window, as the game's release may
// while a message is shown.
std::vector<std::string> g_shown;
CInjectorSheet* g_closing = nullptr;
void CloseOnFirstMessage(const char* text, MessageKind) {
    g_shown.emplace_back(text);
    g_closing->close();
}

TEST_F(SheetTest, AChangeIsReadOnlyInItsFileKeepsTheAgentShownAndNothingIsReadWithoutAWindow) {
    CAgentFields ant = AgentFields({"Ant", 5});
    for (int line = 0; line < 80; ++line) {
        ant.description += "Line " + std::to_string(line) + "\n";
    }
    CAgentFileWriter writer;
    writer.AddAgent(MakeAgent(std::move(ant)));
    writer.Save((Objects() / "ant.kiv").string());
    AddObjectsFile("bee.kiv", {{"Bee"}});
    StartSheet();
    int reloads = 0;
    QObject::connect(&sheet->ObjectsWatcher(), &CObjectsFolderWatcher::Reloaded,
                     [&] { ++reloads; });
    sheet->SetActivePage(2);
    QTreeWidget& tree = *sheet->AnalysisPage().m_resultsTree;
    ClickEntry(*sheet->AnalysisPage().m_agentList, "Ant");
    tree.topLevelItem(0)->setExpanded(true);
    const std::vector<bool> sections = ExpandedSections(tree);
    CInjectorPage& page = ShowAgentsPage();
    QScrollBar& scroll = *page.m_descriptionEdit->verticalScrollBar();
    ASSERT_GT(scroll.maximum(), 0);
    scroll.setValue(scroll.maximum());
    const int scrolled = scroll.value();

    const auto path = [&](const char* name) { return (Objects() / name).string(); };
    // More events than the kernel keeps for a watch, none of which changes a file's identity.
    int queueLimit = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queueLimit;
    const auto flood = [&] {
        for (int i = 0; i <= queueLimit; ++i) {
            fs::permissions(path(i % 2 == 0 ? "ant.kiv" : "bee.kiv"),
                            fs::perms::owner_read | fs::perms::owner_write);
        }
    };
    const struct {
        const char* change;
        std::function<void()> make;
        const char* readAgain; // the one file whose object is new, if any
        QStringList listed;    // none: no reload
    } changes[] = {
        {"the applet's own use", [&] { EXPECT_EQ(Click(page.m_injectButton), ""); }, nullptr, {}},
        {"a new file",
         [&] { AddObjectsFile("cat.kiv", {{"Cat"}}); },
         "cat.kiv",
         {"Ant", "Bee", "Cat"}},
        {"a new file whose events were lost",
         [&] { flood(), AddObjectsFile("dog.kiv", {{"Dog"}}); },
         "dog.kiv",
         {"Ant", "Bee", "Cat", "Dog"}},
        // One agent more: the agents of the files after it move, as they do when a file goes.
        {"another program's",
         [&] {
             AddObjectsFile("bee.kiv", {{"Bee", 3}, {"Wasp"}});
         },
         "bee.kiv",
         {"Ant", "Bee", "Cat", "Dog", "Wasp"}},
        // Its agents replace the file's own where they moved to.
        {"a later file changed",
         [&] { AddObjectsFile("cat.kiv", {{"Kitten"}}); },
         "cat.kiv",
         {"Ant", "Bee", "Dog", "Kitten", "Wasp"}},
        {"a file deleted",
         [&] { fs::remove(Objects() / "bee.kiv"); },
         nullptr,
         {"Ant", "Dog", "Kitten"}},
        {"a later one deleted",
         [&] { fs::remove(Objects() / "cat.kiv"); },
         nullptr,
         {"Ant", "Dog"}},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.change);
        auto before = FileObjects(sheet->Catalogue());
        const int reloadsBefore = reloads;
        change.make();
        // A change that needs no reload is shown to have had none by the next
        // row's, which would read its file again.
        if (!change.listed.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return reloads > reloadsBefore; }, kPatience));
            EXPECT_EQ(Entries(*page.m_agentList), change.listed);
        }
        for (const auto& [file, object] : FileObjects(sheet->Catalogue())) {
            EXPECT_EQ(before[file] != object,
                      change.readAgain != nullptr && file == path(change.readAgain))
                << file;
        }
        EXPECT_EQ(page.m_descriptionEdit->verticalScrollBar()->value(), scrolled);
        EXPECT_EQ(page.m_agentList->currentItem()->text(), "Ant");
        EXPECT_EQ(sheet->AnalysisPage().m_agentList->currentItem()->text(), "Ant");
        EXPECT_EQ(ExpandedSections(tree), sections);
    }
    EXPECT_EQ(StoredUsage(path("ant.kiv"), 0).first, 4);

    // Without its window the sheet neither ticks nor follows the folder nor
    // speaks, also when the window goes while a message is shown.
    EXPECT_TRUE(page.RefreshTimerRuns());
    const ScopedVariable boxes("SPLICEBOX_MESSAGES", "");
    g_closing = sheet.get();
    SetMessageSink(&CloseOnFirstMessage);
    const std::shared_ptr<void> restore(nullptr, [](void*) { SetMessageSink(nullptr); });
    // Damaged files, settled long ago, each moved in at once.
    const auto arrive = [&](const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            const fs::path written = environment.Root().Write(name, "kiv");
            fs::last_write_time(written, fs::last_write_time(written) - std::chrono::hours(1));
            fs::rename(written, Objects() / name);
        }
    };
    arrive({"bad1.kiv", "bad2.kiv"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !g_shown.empty(); }, kPatience));
    EXPECT_FALSE(sheet->WindowExists());
    EXPECT_FALSE(page.RefreshTimerRuns());
    FolderChangeSeen(Objects(), [&] { arrive({"bad3.kiv"}); });
    EXPECT_EQ(g_shown, std::vector<std::string>{"Error: \"" + (Objects() / "bad1.kiv").string() +
                                                "\" is not a Mirewalk 2 Kiv file"});
}

} // namespace
