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
#include <string>
#include <vector>

namespace {

constexpr const char* kAppletKey = "Software\\Vantrell Technology\\Mirewalk 2\\Splicebox\\1.0";
const std::string kOwner = "dde: putv ownr";
const std::string kPause = "dde: putv paus";
const std::string kName = "dde: getb cnam";

// Opens the protected steps for the tests.
class CTestSheet : public CBaseSheet {
public:
    explicit CTestSheet(std::shared_ptr<FakeGameRecord> record)
        : CBaseSheet("Splicebox", nullptr, "Splicebox", "1.0",
                     std::make_unique<CFakeTransport>(std::move(record)),
                     [](std::chrono::milliseconds) {}) {}
    using CBaseSheet::QueryPaused;
};

class BaseSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_game = m_environment.InstallGame();
        std::ofstream(m_game / "Applet Data" / "wallpaper.bmp", std::ios::binary)
            << SolidBitmapFile(64, 32, 0x00808080);
        m_record->replies = {{kOwner, "0"}, {kPause, "0"}, {kName, "Bob"}};
    }

    std::unique_ptr<CTestSheet> NewSheet() {
        auto sheet = std::make_unique<CTestSheet>(m_record);
        sheet->AddPage(new CBasePage(129, 0));
        return sheet;
    }

    // Created, and the queued connection to the game run.
    std::unique_ptr<CTestSheet> ConnectedSheet() {
        auto sheet = NewSheet();
        EXPECT_TRUE(sheet->Create());
        QCoreApplication::processEvents();
        return sheet;
    }

    static QRect WorkArea(const QWidget& widget) { return widget.screen()->availableGeometry(); }

    static bool HasLocation() {
        CRegistryKey key;
        key.OpenKey(RegistryRoot::CurrentUser, kAppletKey);
        std::int32_t x = 0;
        std::int32_t y = 0;
        return key.ReadPoint("Location", x, y);
    }

    GameEnvironment m_environment;
    std::filesystem::path m_game;
    std::shared_ptr<FakeGameRecord> m_record = std::make_shared<FakeGameRecord>();
};

TEST_F(BaseSheetTest, StaysHiddenUntilTheGameAnswersThenShowsItsStateAndControls) {
    auto sheet = NewSheet();
    ASSERT_TRUE(sheet->Create());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(m_record->macros.empty());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(m_game));
    CRegistryKey machineKey;
    machineKey.OpenKey(RegistryRoot::LocalMachine, kAppletKey);

    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(m_record->macros, (std::vector<std::string>{kOwner, kPause}));
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - No Subject"));
    // First run: the top-left corner of the work area.
    EXPECT_EQ(sheet->pos(), WorkArea(*sheet).topLeft());

    const QSize client = sheet->m_closeButton->parentWidget()->size();
    const int w = client.width();
    const int h = client.height();
    EXPECT_EQ(sheet->m_closeButton->geometry(), QRect(w - 81, h - 28, 74, 22));
    EXPECT_EQ(sheet->m_hideButton->geometry(), QRect(w - 161, h - 28, 74, 22));
    EXPECT_EQ(sheet->m_onTopButton->geometry(), QRect(w - 321, h - 28, 140, 22));
    EXPECT_EQ(sheet->m_closeButton->text(), QStringLiteral("Close"));
    EXPECT_EQ(sheet->m_hideButton->text(), QStringLiteral("Hide"));
    EXPECT_EQ(sheet->m_onTopButton->text(), QStringLiteral("Keep on top"));
    // The page and the 32-pixel strip of controls below it.
    EXPECT_GE(h - 32, sheet->GetPage(0)->height());
    EXPECT_TRUE(sheet->GetPage(0)->HasWindow());
}

TEST_F(BaseSheetTest, RepliesDecideSubjectAndPause) {
    auto sheet = ConnectedSheet();
    for (const char* reply : {"0", "", "05"}) {
        m_record->replies[kOwner] = reply;
        sheet->OnGameEvent7();
        EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - No Subject")) << reply;
    }
    for (const char* reply : {"1", "42", "A"}) {
        m_record->replies[kOwner] = reply;
        sheet->OnGameEvent8();
        EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - Bob")) << reply;
    }
    for (const char* reply : {"1", "12"}) {
        m_record->replies[kPause] = reply;
        sheet->QueryPaused();
        EXPECT_TRUE(sheet->m_paused) << reply;
    }
    for (const char* reply : {"0", "", "2"}) {
        sheet->m_paused = true;
        m_record->replies[kPause] = reply;
        sheet->QueryPaused();
        EXPECT_FALSE(sheet->m_paused) << reply;
    }

    // Failures: no subject; the pause state kept; an empty title.
    sheet->m_paused = true;
    m_record->failing = {kPause};
    sheet->QueryPaused();
    EXPECT_TRUE(sheet->m_paused);
    m_record->failing = {kName};
    sheet->OnGameEvent6();
    EXPECT_EQ(sheet->windowTitle(), QString());
    m_record->failing = {kOwner};
    sheet->OnGameEvent6();
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - No Subject (PAUSED)"));
}

TEST_F(BaseSheetTest, NotificationsReachTheSheet) {
    m_record->replies[kOwner] = "1";
    auto sheet = ConnectedSheet();
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - Bob"));
    m_record->macros.clear();

    sheet->DispatchNotification(0x00070301); // 1, 3, 7, 0
    EXPECT_EQ(sheet->m_appletNumber, 7);
    EXPECT_TRUE(m_record->macros.empty());

    m_record->replies[kName] = "Alice";
    sheet->DispatchNotification(0x06050301); // 1, 3, 5, 6
    EXPECT_EQ(sheet->m_appletNumber, 5);
    EXPECT_EQ(m_record->macros, (std::vector<std::string>{kOwner, kName}));
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - Alice"));

    sheet->DispatchNotification(0x00010A02); // 2, 10, 1, 0
    EXPECT_TRUE(sheet->m_paused);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - Alice (PAUSED)"));
    sheet->DispatchNotification(0xFF000A02); // 2, 10, 0, 255
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Splicebox - Alice"));
}

TEST_F(BaseSheetTest, ClosingSendsTheQuitMacroOnlyWhenNumberedAndSavesPlacement) {
    auto unnumbered = ConnectedSheet();
    unnumbered->move(WorkArea(*unnumbered).topLeft() + QPoint(40, 30));
    const QPoint at = unnumbered->pos();
    unnumbered->SetActivePage(0);
    int destroyed = 0;
    QObject::connect(unnumbered.get(), &CBaseSheet::WindowDestroyed, [&] { ++destroyed; });
    unnumbered->close();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(unnumbered->WindowExists());
    EXPECT_FALSE(m_record->connected);
    EXPECT_EQ(m_record->macros, (std::vector<std::string>{kOwner, kPause}));
    CRegistryKey key;
    key.OpenKey(RegistryRoot::CurrentUser, kAppletKey);
    std::int32_t x = 0;
    std::int32_t y = 0;
    ASSERT_TRUE(key.ReadPoint("Location", x, y));
    EXPECT_EQ(QPoint(x, y), at);
    std::uint32_t onTop = 7;
    ASSERT_TRUE(key.ReadDword("On Top", onTop));
    EXPECT_EQ(onTop, 0u);
    std::uint32_t page = 7;
    ASSERT_TRUE(key.ReadDword("Page", page));
    EXPECT_EQ(page, 0u);

    auto numbered = ConnectedSheet();
    numbered->DispatchNotification(0x00070301);
    m_record->macros.clear();
    numbered->close();
    EXPECT_EQ(m_record->macros, std::vector<std::string>{"inst,app: quit 7,endm"});

    // A game that stopped answering does not hold the close up.
    auto orphaned = ConnectedSheet();
    orphaned->DispatchNotification(0x00090301);
    m_record->failing = {"inst,app: quit 9,endm"};
    orphaned->close();
    EXPECT_FALSE(orphaned->WindowExists());
}

TEST_F(BaseSheetTest, AMinimisedCloseWritesNoPlacement) {
    auto sheet = ConnectedSheet();
    sheet->OnHide();
    EXPECT_TRUE(sheet->isMinimized());
    sheet->close();
    EXPECT_FALSE(HasLocation());
}

TEST_F(BaseSheetTest, RestoredPlacementIsClampedIntoTheWorkAreaWithKeepOnTop) {
    {
        CRegistryKey key;
        key.CreateKey(RegistryRoot::CurrentUser, kAppletKey);
        key.WritePoint("Location", 5000, 5000);
        key.WriteDword("On Top", 1);
    }
    auto sheet = ConnectedSheet();
    const QRect work = WorkArea(*sheet);
    const QSize size = sheet->frameGeometry().size();
    EXPECT_EQ(sheet->pos(),
              QPoint(work.right() + 1 - size.width() + 1, work.bottom() + 1 - size.height() + 1));
    EXPECT_TRUE(sheet->m_onTop);
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

    {
        CRegistryKey key;
        key.CreateKey(RegistryRoot::CurrentUser, kAppletKey);
        key.WritePoint("Location", -50, -20);
    }
    auto second = ConnectedSheet();
    EXPECT_EQ(second->pos(), WorkArea(*second).topLeft());
    EXPECT_FALSE(second->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(BaseSheetTest, RestoringFromMinimisedPutsTheControlsBack) {
    auto sheet = ConnectedSheet();
    const QRect close = sheet->m_closeButton->geometry();
    sheet->OnCommand(kHideCommand);
    sheet->m_closeButton->move(0, 0);
    sheet->showNormal();
    EXPECT_EQ(sheet->m_closeButton->geometry(), close);

    // The Close button closes once the events run, as a posted close does.
    sheet->m_closeButton->click();
    EXPECT_TRUE(sheet->WindowExists());
    QCoreApplication::processEvents();
    EXPECT_FALSE(sheet->WindowExists());
}

TEST_F(BaseSheetTest, AppletMenusUnlessTheGameSaysNo) {
    auto sheet = NewSheet();
    EXPECT_TRUE(sheet->AppletMenusAllowed());
    CRegistryKey gameKey;
    gameKey.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
    gameKey.WriteString("NoAppletMenus", "0");
    EXPECT_FALSE(sheet->AppletMenusAllowed());
    gameKey.WriteDword("NoAppletMenus", 1);
    EXPECT_TRUE(sheet->AppletMenusAllowed());
}

std::vector<std::pair<std::string, MessageKind>> g_messages;

TEST_F(BaseSheetTest, AboutShowsCaptionVersionAndBuild) {
    unsetenv("SPLICEBOX_MESSAGES");
    SetMessageSink([](const char* text, MessageKind kind) { g_messages.emplace_back(text, kind); });
    auto sheet = NewSheet();
    EXPECT_TRUE(sheet->OnCommand(kAboutCommand));
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].first,
              "Splicebox\nversion 1.0\n\n\n(Build 38  -  Release  -  Jan  4 1999)");
    EXPECT_EQ(g_messages[0].second, MessageKind::Information);
    EXPECT_FALSE(sheet->OnCommand(4711));
    SetMessageSink(nullptr);
    setenv("SPLICEBOX_MESSAGES", "stderr", 1);
}

TEST_F(BaseSheetTest, CreationFailsWithAMessageWithoutTheGameFolderOrTheWallpaper) {
    const std::filesystem::path wallpaper = m_game / "Applet Data" / "wallpaper.bmp";
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {wallpaper, "Splicebox: Error reading from file \"" + wallpaper.string() + "\"\n"},
        {m_game, "Splicebox: Error changing to directory \"" + m_game.string() + "/\"\n"}};
    for (const auto& [removed, message] : cases) {
        SCOPED_TRACE(removed);
        std::filesystem::remove_all(removed);
        auto sheet = NewSheet();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(sheet->Create());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
        EXPECT_FALSE(sheet->WindowExists());
        QCoreApplication::processEvents();
        EXPECT_TRUE(m_record->macros.empty());
    }
}

} // namespace
