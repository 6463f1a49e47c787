#include "core/RegistryKey.h"
#include "framework/widgets/BasePage.h"
#include "gamelink/widgets/GameSheet.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/WidgetApplication.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QScreen>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

// The widgets' application and the private bus, for the whole executable.
const bool g_environments = RegisterWidgetsThenPrivateBus();

const std::string kOwner = "dde: putv ownr";
const std::string kPause = "dde: putv paus";
const std::string kName = "dde: getb cnam";
using Macros = std::vector<std::string>;

// The game's side of the macro channel: answers from a table, records every
// macro, and refuses to answer on request.
struct FakeGame {
    bool connected = false;
    std::map<std::string, std::string> replies{{kOwner, "0"}, {kPause, "0"}, {kName, "Bob"}};
    std::set<std::string> failing;
    Macros macros;
};

// Talks to the test's game, which outlives the sheets that own a transport.
struct CFakeTransport final : IMacroTransport {
    explicit CFakeTransport(FakeGame& game) : game(game) {}

    bool Connect() override { return game.connected = true; }
    void Disconnect() override { game.connected = false; }
    bool IsConnected() const override { return game.connected; }
    MacroCallResult Call(std::string_view macro) override {
        const std::string& text = game.macros.emplace_back(macro);
        if (game.failing.contains(text)) {
            return {};
        }
        return {true, true, game.replies[text]};
    }

    FakeGame& game;
};

// One page, the test's game, and retries without a pause.
class CTestSheet : public CGameSheet {
public:
    explicit CTestSheet(FakeGame& game)
        : CGameSheet("Splicebox", nullptr, "Splicebox", "1.0",
                     std::make_unique<CFakeTransport>(game), [](std::chrono::milliseconds) {}) {
        AddPage(new CBasePage(129, 0));
    }
};

// Where a closed sheet stood and which page it showed.
using Placement = std::pair<std::optional<QPoint>, std::optional<std::uint32_t>>;
Placement StoredPlacement() {
    CRegistryKey key;
    key.CreateKey(RegistryRoot::CurrentUser,
                  "Software\\Vantrell Technology\\Mirewalk 2\\Splicebox\\1.0");
    QPoint at;
    std::uint32_t page = 0;
    return {key.ReadPoint("Location", at.rx(), at.ry()) ? std::optional(at) : std::nullopt,
            key.ReadDword("Page", page) ? std::optional(page) : std::nullopt};
}

class BaseSheetTest : public ::testing::Test {
protected:
    BaseSheetTest() : m_folder(m_environment.InstallGame()) {
        m_environment.Root().Write(m_folder / "Applet Data" / "wallpaper.bmp",
                                   SolidBitmapFile(64, 32, 0x00808080));
    }

    // Created, and the queued connection to the game run.
    std::unique_ptr<CTestSheet> ConnectedSheet() {
        auto sheet = std::make_unique<CTestSheet>(m_game);
        EXPECT_TRUE(sheet->Create());
        QCoreApplication::processEvents();
        return sheet;
    }

    GameEnvironment m_environment;
    std::filesystem::path m_folder;
    FakeGame m_game;
};

TEST_F(BaseSheetTest, NotificationsAskTheGameAndFailedAnswersLeaveSensibleTitles) {
    m_game.replies[kOwner] = "1";
    CTestSheet sheet(m_game);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(m_folder));
    EXPECT_TRUE(m_game.macros.empty() && !sheet.isVisible()) << "before the game answered";
    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(m_game.macros, (Macros{kOwner, kPause, kName}));
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Splicebox - Bob"));

    const struct {
        std::uint32_t message;
        std::string owner;
        const char* title;
        Macros asked;
        std::set<std::string> failing;
    } steps[] = {
        {0x00070301, "1", "Splicebox - Bob", {}, {}}, // applet number 7
        {0x06050301, "1", "Splicebox - Alice", {kOwner, kName}, {}},
        {0x00010A02, "1", "Splicebox - Alice (PAUSED)", {kName}, {}},
        {0x00000702, "0", "Splicebox - No Subject (PAUSED)", {kOwner}, {}},
        {0xFF000A02, "0", "Splicebox - No Subject", {}, {}},
        // A failed name empties the title; a failed subject query means no subject.
        {0x00000602, "1", "", {}, {kName}},
        {0x00000802, "1", "Splicebox - No Subject", {}, {kOwner}},
    };
    m_game.replies[kName] = "Alice";
    for (const auto& step : steps) {
        m_game.macros.clear();
        m_game.replies[kOwner] = step.owner;
        m_game.failing = step.failing;
        sheet.DispatchNotification(step.message);
        EXPECT_EQ(sheet.windowTitle().toStdString(), step.title);
        // A failed call is tried again, as often as the link decides.
        if (step.failing.empty()) {
            EXPECT_EQ(m_game.macros, step.asked) << step.title;
        }
    }
    EXPECT_EQ(sheet.AppletNumber(), 5);
}

TEST_F(BaseSheetTest, ClosingSavesThePlacementUnlessMinimisedAndSaysGoodbyeOnlyWhenNumbered) {
    auto minimised = ConnectedSheet();
    EXPECT_EQ(minimised->pos(), minimised->screen()->availableGeometry().topLeft())
        << "the first run";
    const QRect close = minimised->m_closeButton->geometry();
    // Keep on top, Hide and Close along the bottom right of the client area.
    const QWidget& client = *minimised->m_closeButton->parentWidget();
    const int right = client.width() - 7;
    const int top = client.height() - 6 - 22;
    EXPECT_EQ(close, QRect(right - 74, top, 74, 22));
    EXPECT_EQ(minimised->m_hideButton->geometry(), QRect(right - 154, top, 74, 22));
    EXPECT_EQ(minimised->m_onTopButton->geometry(), QRect(right - 314, top, 140, 22));
    minimised->OnCommand(kHideCommand);
    EXPECT_TRUE(minimised->isMinimized());
    minimised->m_closeButton->move(0, 0);
    minimised->showNormal();
    EXPECT_EQ(minimised->m_closeButton->geometry(), close) << "restored controls";
    minimised->OnHide();
    // The Close button closes once the events run, as a posted close does.
    minimised->m_closeButton->click();
    EXPECT_TRUE(minimised->WindowExists());
    QCoreApplication::processEvents();
    EXPECT_FALSE(minimised->WindowExists());
    EXPECT_EQ(StoredPlacement(), Placement());

    // Closed on top where it was moved, it opens there again.
    auto unnumbered = ConnectedSheet();
    unnumbered->move(unnumbered->pos() + QPoint(40, 30));
    unnumbered->m_onTopButton->click();
    const QPoint at = unnumbered->pos();
    m_game.macros.clear();
    unnumbered->close();
    EXPECT_FALSE(unnumbered->WindowExists() || m_game.connected);
    EXPECT_TRUE(m_game.macros.empty());
    EXPECT_EQ(StoredPlacement(), (Placement{at, 0u}));
    auto numbered = ConnectedSheet();
    EXPECT_EQ(numbered->pos(), at);
    EXPECT_TRUE(numbered->m_onTopButton->isChecked());
    EXPECT_TRUE(numbered->windowFlags() & Qt::WindowStaysOnTopHint);
    // Unticking the box takes the sheet out of the top band where it stands.
    numbered->m_onTopButton->click();
    EXPECT_FALSE(numbered->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(numbered->pos(), at);
    EXPECT_TRUE(numbered->isVisible());
    numbered->DispatchNotification(0x00070301);
    m_game.macros.clear();
    numbered->close();
    EXPECT_EQ(m_game.macros, Macros{"inst,app: quit 7,endm"});
}

TEST_F(BaseSheetTest, AboutAndAppletMenusAnswerAndOtherCommandsDoNot) {
    CTestSheet sheet(m_game);
    EXPECT_TRUE(sheet.AppletMenusAllowed());
    CRegistryKey gameKey;
    gameKey.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
    gameKey.WriteString("NoAppletMenus", "0");
    EXPECT_FALSE(sheet.AppletMenusAllowed());
    gameKey.WriteDword("NoAppletMenus", 1);
    EXPECT_TRUE(sheet.AppletMenusAllowed());

    testing::internal::CaptureStderr();
    sheet.OnCommand(kAboutCommand);
    sheet.OnCommand(4711);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Splicebox: Splicebox\nversion 1.0\n\n\n(Build 38  -  Release  -  Jan  4 1999)\n");

    // Without the game's folder there is no window and nothing is asked of the game.
    std::filesystem::remove_all(m_folder);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sheet.Create());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Splicebox: Error changing to directory \"" + m_folder.string() + "/\"\n");
    QCoreApplication::processEvents();
    EXPECT_FALSE(sheet.WindowExists() || !m_game.macros.empty());
}

} // namespace
