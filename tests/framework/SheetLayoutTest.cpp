#include "framework/DibBitmap.h"
#include "framework/SheetGeometry.h"
#include "framework/Tiling.h"
#include "framework/widgets/BasePage.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

namespace {

QImage Background(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(0xFF102030);
    return image;
}

// Only what the widget paints itself: the background is not drawn for it.
QImage Render(QWidget& widget) {
    QImage image = Background(widget.size());
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
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
    EXPECT_EQ(Render(page), Background(page.size()));
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
    EXPECT_EQ(Render(page), Background(page.size()));
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
    SheetRect huge{300, 300, 2300, 1300};
    ClampToWorkArea(huge, SheetRect{0, 0, 1024, 768});
    EXPECT_EQ(std::pair(huge.left, huge.top), std::pair(0, 0));
}

TEST(Tiling, TilesStepByWidthAcrossAndHeightDown) {
    EXPECT_EQ(TileOrigins(100, 50, 101, 50), (std::vector<TileOrigin>{{0, 0}, {100, 0}}));
    EXPECT_TRUE(TileOrigins(0, 50, 250, 120).empty());
    EXPECT_TRUE(TileOrigins(100, 50, 0, 120).empty());
}

} // namespace
