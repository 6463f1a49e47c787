#include "ui/widgets/CoverPage.h"
#include "app/GameConfig.h"
#include "tests/ui/SheetFixture.h"

#include <QImage>

#include <optional>

namespace {

const QColor kWallpaper(128, 128, 128);
const QColor kCover(40, 60, 200);

// A 300 x 300 cover page over a grey wallpaper, with the game folder of the test.
TEST(CoverPage, ThePictureIsCentredOverTheWallpaperAndCutAtItsEdges) {
    const struct {
        const char* what;
        std::optional<QSize> picture;
        QPoint at;
        std::vector<std::pair<QPoint, QColor>> pixels;
    } cases[] = {
        {"centred",
         QSize(200, 150),
         {50, 75},
         {{{50, 75}, kCover},
          {{249, 224}, kCover},
          {{49, 75}, kWallpaper},
          {{250, 224}, kWallpaper},
          {{50, 74}, kWallpaper}}},
        {"a column too wide",
         QSize(301, 100),
         {0, 100},
         {{{0, 100}, kCover}, {{299, 199}, kCover}}},
        {"missing", std::nullopt, {0, 0}, {{{150, 150}, kWallpaper}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameEnvironment environment;
        const auto game = environment.InstallGame();
        CBaseSheet sheet("Splicebox", nullptr, "Splicebox", "1.0");
        sheet.m_wallpaper.LoadFromFile(
            environment.Root().Write("wallpaper.bmp", SolidBitmapFile(32, 32, 0x00808080)).c_str());
        CCoverPage page;
        page.Construct(&sheet, "Injector.bmp");
        if (c.picture) {
            environment.Root().Write(
                game / "Applet Data" / "Injector.bmp",
                SolidBitmapFile(c.picture->width(), c.picture->height(), kCoverColour));
        }
        const std::string messages = MessagesOf([&] {
            page.Activate();
            page.setFixedSize(300, 300);
        });
        EXPECT_EQ(messages, c.picture
                                ? ""
                                : "Splicebox: Error reading from file \"" +
                                      GetGameDirectory(kAppletDataDirectory) + "Injector.bmp\"\n");
        EXPECT_EQ(page.m_coverPicture.IsValid(), c.picture.has_value());
        if (c.picture) {
            EXPECT_EQ(page.PicturePosition(), c.at);
        }
        const QImage image = page.grab().toImage();
        for (const auto& [pixel, colour] : c.pixels) {
            EXPECT_EQ(QColor(image.pixel(pixel)), colour) << pixel.x() << "," << pixel.y();
        }
        // Reported once.
        EXPECT_EQ(MessagesOf([&] { page.Activate(); }), "");
    }
}

} // namespace
