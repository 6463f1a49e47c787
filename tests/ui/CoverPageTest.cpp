#include "ui/widgets/CoverPage.h"
#include "app/GameConfig.h"
#include "tests/ui/SheetFixture.h"

#include <QImage>

namespace {

const QColor kWallpaper(128, 128, 128);
const QColor kCover(40, 60, 200);

// A cover page over a grey wallpaper, with the game folder of the test.
class CoverPageTest : public ::testing::Test {
protected:
    CoverPageTest() : game(environment.InstallGame()) {
        const auto wallpaper =
            environment.Root().Write("wallpaper.bmp", SolidBitmapFile(32, 32, 0x00808080));
        sheet.m_wallpaper.LoadFromFile(wallpaper.c_str());
        page.Construct(&sheet, "Injector.bmp");
    }

    void WriteCover(int width, int height) const {
        environment.Root().Write(game / "Applet Data" / "Injector.bmp",
                                 SolidBitmapFile(width, height, kCoverColour));
    }

    // Creates the page at 300 x `height` pixels; what it reported meanwhile.
    std::string Create(int height) {
        ::testing::internal::CaptureStderr();
        page.Activate();
        page.setFixedSize(300, height);
        return ::testing::internal::GetCapturedStderr();
    }

    QColor At(int x, int y) { return QColor(page.grab().toImage().pixel(x, y)); }

    GameEnvironment environment;
    std::filesystem::path game;
    CBaseSheet sheet{"Splicebox", nullptr, "Splicebox", "1.0"};
    CCoverPage page;
};

TEST_F(CoverPageTest, ThePictureIsCentredOverTheWallpaper) {
    WriteCover(200, 150);
    EXPECT_EQ(Create(300), "");
    EXPECT_EQ(page.PicturePosition(), QPoint(50, 75));
    EXPECT_EQ(At(50, 75), kCover);
    EXPECT_EQ(At(249, 224), kCover);
    EXPECT_EQ(At(49, 75), kWallpaper);
    EXPECT_EQ(At(250, 224), kWallpaper);
    EXPECT_EQ(At(50, 74), kWallpaper);
}

TEST_F(CoverPageTest, APictureOneColumnTooWideLosesItsLastColumn) {
    WriteCover(301, 100);
    EXPECT_EQ(Create(300), "");
    EXPECT_EQ(page.PicturePosition(), QPoint(0, 100));
    EXPECT_EQ(At(0, 100), kCover);
    EXPECT_EQ(At(299, 199), kCover);
}

TEST_F(CoverPageTest, AMissingPictureIsReportedOnceAndLeavesTheWallpaper) {
    EXPECT_EQ(Create(300), "Splicebox: Error reading from file \"" +
                               GetGameDirectory(kAppletDataDirectory) + "Injector.bmp\"\n");
    EXPECT_FALSE(page.m_coverPicture.IsValid());
    EXPECT_EQ(At(150, 150), kWallpaper);
    ::testing::internal::CaptureStderr();
    page.Activate();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

} // namespace
