#include "framework/widgets/BasePage.h"
#include "framework/widgets/BaseSheet.h"
#include "tests/support/BitmapFile.h"
#include "tests/support/GameEnvironment.h"
#include "tests/support/SimProcess.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <fstream>
#include <string>

namespace {

bool Received(const CSimProcess& game, const std::string& macro) {
    const auto macros = game.Macros();
    return std::find(macros.begin(), macros.end(), macro) != macros.end();
}

// The sheet against the game substitute on the private bus, through the
// default D-Bus link.
TEST(SheetWithGame, ShowsTheGamesStateFollowsItAndSaysGoodbye) {
    GameEnvironment environment;
    const auto game = environment.InstallGame();
    std::ofstream(game / "Applet Data" / "wallpaper.bmp", std::ios::binary)
        << SolidBitmapFile(32, 32, 0x00406080);
    CSimProcess sim({"--subject", "Bob", "--paused"});

    CBaseSheet sheet("Splicebox", nullptr, "Splicebox", "1.0");
    sheet.AddPage(new CBasePage(130, 0));
    ASSERT_TRUE(sheet.Create());
    EXPECT_FALSE(sheet.isVisible());
    QCoreApplication::processEvents();
    ASSERT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Splicebox - Bob (PAUSED)"));

    EXPECT_EQ(sim.Command("subject Alice"), "ok");
    EXPECT_EQ(sim.Command("resume"), "ok");
    sheet.DispatchNotification(0x06050301); // applet number 5, the subject may have changed
    sheet.DispatchNotification(0x00000A02); // running again
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Splicebox - Alice"));
    EXPECT_EQ(sim.Command("no-subject"), "ok");
    sheet.DispatchNotification(0x00000702);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Splicebox - No Subject"));

    sheet.close();
    EXPECT_TRUE(sim.WaitForLog("inst,app: quit 5,endm"));
    EXPECT_TRUE(Received(sim, "dde: getb cnam"));
    EXPECT_FALSE(sheet.WindowExists());
}

TEST(SheetWithGame, WithoutTheGameTheSheetNeverShows) {
    GameEnvironment environment;
    const auto game = environment.InstallGame();
    std::ofstream(game / "Applet Data" / "wallpaper.bmp", std::ios::binary)
        << SolidBitmapFile(8, 8, 0);
    CBaseSheet sheet("Splicebox", nullptr, "Splicebox", "1.0");
    ASSERT_TRUE(sheet.Create());
    QCoreApplication::processEvents();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Splicebox"));
    testing::internal::CaptureStderr();
    sheet.DispatchNotification(0x00040301); // applet number 4: nobody to say goodbye to
    sheet.close();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
