#include "framework/widgets/BaseSheet.h"
#include "app/MessageBox.h"
#include "app/RegistryKey.h"
#include "framework/widgets/BasePage.h"
#include "tests/framework/FakeTransport.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/GameEnvironment.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QScreen>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kAppletKey = "Software\\Vantrell Technology\\Mirewalk 2\\Splicebox\\1.0";
const std::string kOwner = "dde: putv ownr";
const std::string kPause = "dde: putv paus";
const std::string kName = "dde: getb cnam";
using Macros = std::vector<std::string>;

// Opens the protected steps for the tests.
class CTestSheet : public CBaseSheet {
public:
    explicit CTestSheet(std::shared_ptr<FakeGameRecord> record)
        : CBaseSheet("Splicebox", nullptr, "Splicebox", "1.0",
                     std::make_unique<CFakeTransport>(std::move(record)),
                     [](std::chrono::milliseconds) {}) {
        AddPage(new CBasePage(129, 0));
    }
    using CBaseSheet::QueryPaused;
};

template <typename Use> auto WithAppletKey(Use use) {
    CRegistryKey key;
    key.CreateKey(RegistryRoot::CurrentUser, kAppletKey);
    return use(key);
}

std::optional<QPoint> StoredLocation() {
    return WithAppletKey([](CRegistryKey& key) {
        std::int32_t x = 0;
        std::int32_t y = 0;
        return key.ReadPoint("Location", x, y) ? std::optional(QPoint(x, y)) : std::nullopt;
    });
}

std::optional<std::uint32_t> StoredDword(const char* name) {
    return WithAppletKey([&](CRegistryKey& key) {
        std::uint32_t value = 0;
        return key.ReadDword(name, value) ? std::optional(value) : std::nullopt;
    });
}

QRect WorkArea(const QWidget& widget) {
    return widget.screen()->availableGeometry();
}

class BaseSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_game = m_environment.InstallGame();
        std::ofstream(m_game / "Applet Data" / "wallpaper.bmp", std::ios::binary)
            << SolidBitmapFile(64, 32, 0x00808080);
        m_record->replies = {{kOwner, "0"}, {kPause, "0"}, {kName, "Bob"}};
    }

    // Created, and the queued connection to the game run.
    std::unique_ptr<CTestSheet> ConnectedSheet() {
        auto sheet = std::make_unique<CTestSheet>(m_record);
        EXPECT_TRUE(sheet->Create());
        QCoreApplication::processEvents();
        return sheet;
    }

    GameEnvironment m_environment;
    std::filesystem::path m_game;
    std::shared_ptr<FakeGameRecord> m_record = std::make_shared<FakeGameRecord>();
};

TEST_F(BaseSheetTest, StaysHiddenUntilTheGameAnswersThenShowsItsStateAndControls) {
    CTestSheet sheet(m_record);
    ASSERT_TRUE(sheet.Create());
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_TRUE(m_record->macros.empty());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(m_game));

    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(m_record->macros, (Macros{kOwner, kPause}));
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Splicebox - No Subject"));
    // First run: the top-left corner of the work area.
    EXPECT_EQ(sheet.pos(), WorkArea(sheet).topLeft());
    const QSize client = sheet.m_closeButton->parentWidget()->size();
    EXPECT_EQ(sheet.m_closeButton->geometry(),
              QRect(client.width() - 81, client.height() - 28, 74, 22));
    EXPECT_EQ((QStringList{sheet.m_closeButton->text(), sheet.m_hideButton->text(),
                           sheet.m_onTopButton->text()}),
              (QStringList{"Close", "Hide", "Keep on top"}));
    // The page and the 32-pixel strip of controls below it.
    EXPECT_GE(client.height() - 32, sheet.GetPage(0)->height());
    EXPECT_TRUE(sheet.GetPage(0)->HasWindow());
}

TEST_F(BaseSheetTest, NotificationsAskTheGameAndFailedAnswersLeaveSensibleTitles) {
    m_record->replies[kOwner] = "1";
    auto sheet = ConnectedSheet();
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - Bob"));
    m_record->macros.clear();

    const struct {
        std::uint32_t message;
        std::string owner;
        const char* title;
        Macros asked;
    } steps[] = {
        {0x00070301, "1", "Splicebox - Bob", {}}, // applet number 7
        {0x06050301, "1", "Splicebox - Alice", {kOwner, kName}},
        {0x00010A02, "1", "Splicebox - Alice (PAUSED)", {kName}},
        {0x00000702, "0", "Splicebox - No Subject (PAUSED)", {kOwner}},
        {0xFF000A02, "0", "Splicebox - No Subject", {}},
    };
    m_record->replies[kName] = "Alice";
    for (const auto& step : steps) {
        m_record->replies[kOwner] = step.owner;
        sheet->DispatchNotification(step.message);
        EXPECT_EQ(sheet->windowTitle().toStdString(), step.title);
        EXPECT_EQ(m_record->macros, step.asked) << step.title;
        m_record->macros.clear();
    }
    EXPECT_EQ(sheet->m_appletNumber, 5);

    // A failed pause query keeps the state; a failed name empties the title;
    // a failed subject query means no subject.
    m_record->replies[kPause] = "1";
    sheet->QueryPaused();
    m_record->failing = {kPause};
    m_record->replies[kPause] = "0";
    sheet->QueryPaused();
    EXPECT_TRUE(sheet->m_paused);
    m_record->replies[kOwner] = "1";
    m_record->failing = {kName};
    sheet->OnGameEvent6();
    EXPECT_EQ(sheet->windowTitle(), QString());
    m_record->failing = {kOwner};
    sheet->OnGameEvent8();
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - No Subject (PAUSED)"));
}

TEST_F(BaseSheetTest, ClosingSendsTheQuitMacroOnlyWhenNumberedAndSavesPlacement) {
    auto unnumbered = ConnectedSheet();
    unnumbered->move(WorkArea(*unnumbered).topLeft() + QPoint(40, 30));
    const QPoint at = unnumbered->pos();
    int destroyed = 0;
    QObject::connect(unnumbered.get(), &CBaseSheet::WindowDestroyed, [&] { ++destroyed; });
    unnumbered->close();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(unnumbered->WindowExists());
    EXPECT_FALSE(m_record->connected);
    EXPECT_EQ(m_record->macros, (Macros{kOwner, kPause}));
    EXPECT_EQ(StoredLocation(), at);
    EXPECT_EQ(StoredDword("On Top"), 0u);
    EXPECT_EQ(StoredDword("Page"), 0u);

    auto numbered = ConnectedSheet();
    numbered->DispatchNotification(0x00070301);
    m_record->macros.clear();
    numbered->close();
    EXPECT_EQ(m_record->macros, Macros{"inst,app: quit 7,endm"});

    // Without the game the sheet never shows and has nobody to say goodbye to.
    m_record->reachable = false;
    auto alone = ConnectedSheet();
    EXPECT_FALSE(alone->isVisible());
    alone->DispatchNotification(0x00040301);
    m_record->macros.clear();
    alone->close();
    EXPECT_TRUE(m_record->macros.empty());
    m_record->reachable = true;

    // A game that stopped answering does not hold the close up.
    auto orphaned = ConnectedSheet();
    orphaned->DispatchNotification(0x00090301);
    m_record->failing = {"inst,app: quit 9,endm"};
    orphaned->close();
    EXPECT_FALSE(orphaned->WindowExists());
}

TEST_F(BaseSheetTest, AMinimisedSheetRestoresItsControlsAndAMinimisedCloseSavesNothing) {
    auto sheet = ConnectedSheet();
    const QRect close = sheet->m_closeButton->geometry();
    sheet->OnCommand(kHideCommand);
    EXPECT_TRUE(sheet->isMinimized());
    sheet->m_closeButton->move(0, 0);
    sheet->showNormal();
    EXPECT_EQ(sheet->m_closeButton->geometry(), close);

    sheet->OnHide();
    // The Close button closes once the events run, as a posted close does.
    sheet->m_closeButton->click();
    EXPECT_TRUE(sheet->WindowExists());
    QCoreApplication::processEvents();
    EXPECT_FALSE(sheet->WindowExists());
    EXPECT_EQ(StoredLocation(), std::nullopt);
}

TEST_F(BaseSheetTest, RestoredPlacementIsClampedIntoTheWorkAreaWithKeepOnTop) {
    WithAppletKey([](CRegistryKey& key) {
        key.WritePoint("Location", 5000, 5000);
        key.WriteDword("On Top", 1);
    });
    auto sheet = ConnectedSheet();
    const QRect work = WorkArea(*sheet);
    const QSize size = sheet->frameGeometry().size();
    EXPECT_EQ(sheet->pos(),
              QPoint(work.right() + 1 - size.width() + 1, work.bottom() + 1 - size.height() + 1));
    EXPECT_TRUE(sheet->m_onTopButton->isChecked());
    EXPECT_TRUE(sheet->windowFlags() & Qt::WindowStaysOnTopHint);

    // Unticking the box takes the sheet out of the top band where it stands.
    const QPoint at = sheet->pos();
    sheet->m_onTopButton->click();
    EXPECT_FALSE(sheet->m_onTop);
    EXPECT_FALSE(sheet->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(sheet->pos(), at);
    EXPECT_TRUE(sheet->isVisible());
    sheet->close();

    WithAppletKey([](CRegistryKey& key) { key.WritePoint("Location", -50, -20); });
    auto second = ConnectedSheet();
    EXPECT_EQ(second->pos(), WorkArea(*second).topLeft());
    EXPECT_FALSE(second->windowFlags() & Qt::WindowStaysOnTopHint);
}

std::vector<std::pair<std::string, MessageKind>> g_messages;

TEST_F(BaseSheetTest, AboutAndAppletMenusAnswerAndOtherCommandsDoNot) {
    CTestSheet sheet(m_record);
    EXPECT_TRUE(sheet.AppletMenusAllowed());
    CRegistryKey gameKey;
    gameKey.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
    gameKey.WriteString("NoAppletMenus", "0");
    EXPECT_FALSE(sheet.AppletMenusAllowed());
    gameKey.WriteDword("NoAppletMenus", 1);
    EXPECT_TRUE(sheet.AppletMenusAllowed());

    unsetenv("SPLICEBOX_MESSAGES");
    SetMessageSink([](const char* text, MessageKind kind) { g_messages.emplace_back(text, kind); });
    EXPECT_TRUE(sheet.OnCommand(kAboutCommand));
    EXPECT_FALSE(sheet.OnCommand(4711));
    SetMessageSink(nullptr);
    setenv("SPLICEBOX_MESSAGES", "stderr", 1);
    EXPECT_EQ(g_messages, (std::vector<std::pair<std::string, MessageKind>>{
                              {"Splicebox\nversion 1.0\n\n\n(Build 38  -  Release  -  Jan  4 1999)",
                               MessageKind::Information}}));
}

TEST_F(BaseSheetTest, CreationFailsWithAMessageWithoutTheGameFolderOrTheWallpaper) {
    const std::filesystem::path wallpaper = m_game / "Applet Data" / "wallpaper.bmp";
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {wallpaper, "Splicebox: Error reading from file \"" + wallpaper.string() + "\"\n"},
        {m_game, "Splicebox: Error changing to directory \"" + m_game.string() + "/\"\n"}};
    for (const auto& [removed, message] : cases) {
        SCOPED_TRACE(removed);
        std::filesystem::remove_all(removed);
        CTestSheet sheet(m_record);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(sheet.Create());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
        EXPECT_FALSE(sheet.WindowExists());
        QCoreApplication::processEvents();
        EXPECT_TRUE(m_record->macros.empty());
    }
}

} // namespace
