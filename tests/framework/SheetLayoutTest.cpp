#include "framework/DibBitmap.h"
#include "framework/SheetGeometry.h"
#include "framework/Tiling.h"
#include "framework/widgets/BasePage.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

namespace {

constexpr QRgb kBackground = 0xFF102030;

// Only what the widget paints itself: the background is not drawn for it.
QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(kBackground);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

bool PaintsNothing(QWidget& widget) {
    QImage blank(widget.size(), QImage::Format_RGB32);
    blank.fill(kBackground);
    return Render(widget) == blank;
}

TEST(BasePage, TilesTheWallpaperFromTheTopLeft) {
    // Green, with a red top-left and a blue bottom-right pixel.
    CDibBitmap wallpaper;
    wallpaper.Create(100, 50, kDib24);
    wallpaper.FillRect(0, 0, 100, 50, 0x0000FF00);
    wallpaper.FillRect(0, 0, 1, 1, 0x000000FF);
    wallpaper.FillRect(99, 49, 1, 1, 0x00FF0000);

    CBasePage page;
    page.resize(250, 120);
    EXPECT_TRUE(PaintsNothing(page));
    EXPECT_EQ(page.SetWallpaper(&wallpaper), 1);
    const QImage image = Render(page);
    for (int y : {0, 50, 100}) {
        for (int x : {0, 100, 200}) {
            EXPECT_EQ(image.pixel(x, y), 0xFFFF0000) << x << "," << y;
            EXPECT_EQ(image.pixel(x + 1, y), 0xFF00FF00) << x << "," << y;
        }
    }
    EXPECT_EQ(image.pixel(199, 99), 0xFF0000FF);
    // The last column and row are cut by the page's edge.
    EXPECT_EQ(image.pixel(249, 119), 0xFF00FF00);

    CDibBitmap empty;
    EXPECT_EQ(page.SetWallpaper(&empty), 0);
    EXPECT_EQ(page.m_hWallpaper, &wallpaper);
    EXPECT_EQ(page.SetWallpaper(nullptr), 0);
    EXPECT_TRUE(PaintsNothing(page));
}

TEST(SheetGeometry, ButtonsSitInTheBottomRightCornerAndClampingKeepsTheSize) {
    const SheetButtonRects buttons = LayoutButtons(400, 300);
    EXPECT_EQ(buttons.close, (SheetRect{319, 272, 393, 294}));
    EXPECT_EQ(buttons.hide, (SheetRect{239, 272, 313, 294}));
    EXPECT_EQ(buttons.keepOnTop, (SheetRect{79, 272, 219, 294}));

    SheetRect firstRun{0, 0, 399, 499};
    ClampToWorkArea(firstRun, SheetRect{100, 30, 1124, 798});
    EXPECT_EQ(firstRun, (SheetRect{100, 30, 499, 529}));

    // Larger than the work area: left and top win.
    SheetRect huge{300, 300, 300 + 2000, 300 + 1000};
    ClampToWorkArea(huge, SheetRect{0, 0, 1024, 768});
    EXPECT_EQ(huge.left, 0);
    EXPECT_EQ(huge.top, 0);
}

TEST(Tiling, TilesStepByWidthAcrossAndHeightDown) {
    const std::vector<TileOrigin> expected{{0, 0},    {100, 0}, {200, 0},   {0, 50},   {100, 50},
                                           {200, 50}, {0, 100}, {100, 100}, {200, 100}};
    EXPECT_EQ(TileOrigins(100, 50, 250, 120), expected);
    EXPECT_EQ(TileOrigins(100, 50, 100, 50), (std::vector<TileOrigin>{{0, 0}}));
    EXPECT_TRUE(TileOrigins(0, 50, 250, 120).empty());
    EXPECT_TRUE(TileOrigins(100, 50, 0, 120).empty());
}

} // namespace
