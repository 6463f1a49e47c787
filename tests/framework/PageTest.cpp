#include "framework/DibBitmap.h"
#include "framework/widgets/BasePage.h"
#include "framework/widgets/DialogBuilder.h"
#include "framework/widgets/HScrollListBox.h"
#include "framework/widgets/MenuBuilder.h"
#include "framework/widgets/TransparentStatic.h"
#include "tests/support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFrame>
#include <QImage>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr QRgb kBackground = 0xFF102030;

// Only what the widget paints itself: the background is not drawn for it.
QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(kBackground);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

int CountOther(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) != colour;
        }
    }
    return count;
}

TEST(BasePage, TilesTheWallpaperFromTheTopLeft) {
    // A 100 x 50 bitmap: green, red top-left pixel, blue bottom-right pixel.
    CDibBitmap wallpaper;
    wallpaper.Create(100, 50, kDib24);
    wallpaper.FillRect(0, 0, 100, 50, 0x0000FF00);
    wallpaper.FillRect(0, 0, 1, 1, 0x000000FF);
    wallpaper.FillRect(99, 49, 1, 1, 0x00FF0000);

    CBasePage page;
    page.resize(250, 120);
    EXPECT_EQ(CountOther(Render(page), kBackground), 0);
    EXPECT_EQ(page.SetWallpaper(&wallpaper), 1);
    EXPECT_EQ(page.m_tileWidth, 100);
    EXPECT_EQ(page.m_tileHeight, 50);

    const QImage image = Render(page);
    for (int y : {0, 50, 100}) {
        for (int x : {0, 100, 200}) {
            EXPECT_EQ(image.pixel(x, y), 0xFFFF0000) << x << "," << y;
            EXPECT_EQ(image.pixel(x + 1, y), 0xFF00FF00) << x << "," << y;
        }
    }
    for (int y : {49, 99}) {
        for (int x : {99, 199}) {
            EXPECT_EQ(image.pixel(x, y), 0xFF0000FF) << x << "," << y;
        }
    }
    // The last column and row are cut by the page's edge.
    EXPECT_EQ(image.pixel(249, 119), 0xFF00FF00);

    CDibBitmap empty;
    EXPECT_EQ(page.SetWallpaper(&empty), 0);
    EXPECT_EQ(page.m_hWallpaper, &wallpaper);
    EXPECT_EQ(page.SetWallpaper(nullptr), 0);
    EXPECT_EQ(page.m_tileWidth, 0);
    EXPECT_EQ(CountOther(Render(page), kBackground), 0);
}

TEST(TransparentStatic, PaintsOnlyItsTextInTheWindowFont) {
    QWidget window;
    QFont large = window.font();
    large.setPixelSize(40);
    window.setFont(large);
    CTransparentStatic label(&window);
    QFont small = label.font();
    small.setPixelSize(8);
    label.setFont(small);
    label.setGeometry(0, 0, 120, 60);

    EXPECT_EQ(CountOther(Render(label), kBackground), 0);

    label.setText(QStringLiteral("Hg"));
    const QImage image = Render(label);
    EXPECT_GT(CountOther(image, kBackground), 0);
    // Letters of the window's 40-pixel font reach far below an 8-pixel line.
    int lowest = 0;
    int rightmost = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kBackground) {
                lowest = std::max(lowest, y);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_GT(lowest, 20);
    // Top-left: nothing in the right part of the label.
    EXPECT_LT(rightmost, 80);
}

TEST(DialogBuilder, ControlsOfTheAgentsTemplateAtTheirPixelRectangles) {
    const ScopedLocale english("en_US.UTF-8");
    CBasePage page(130, 0);
    EXPECT_EQ(page.Caption(), QStringLiteral("Agents"));

    // Dialog units of DejaVu Sans 8 pt, computed here the way they are defined.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    const int baseX = (metrics.horizontalAdvance(
                           QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                           26 +
                       1) /
                      2;
    const int baseY = metrics.height();
    const auto px = [&](int units) { return (units * baseX + 2) / 4; };
    const auto py = [&](int units) { return (units * baseY + 4) / 8; };

    EXPECT_EQ(page.size(), QSize(px(216), py(207)));
    auto* list = page.ControlAs<CHScrollListBox>(1000);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), QRect(px(7), py(7), px(90) - px(7), py(124) - py(7)));
    auto* inject = page.ControlAs<QPushButton>(1003);
    ASSERT_NE(inject, nullptr);
    EXPECT_EQ(inject->text(), QStringLiteral("Inject"));
    EXPECT_EQ(inject->geometry(), QRect(px(7), py(186), px(44) - px(7), py(200) - py(186)));
    auto* description = page.ControlAs<QPlainTextEdit>(1001);
    ASSERT_NE(description, nullptr);
    EXPECT_TRUE(description->isReadOnly());
    auto* placeholder = page.ControlAs<QFrame>(1008);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_FALSE(placeholder->isVisibleTo(&page));
    EXPECT_EQ(placeholder->geometry(), QRect(px(95), py(7), px(209) - px(95), py(123) - py(7)));
    EXPECT_EQ(page.Control(4711), nullptr);

    const QRect labelRect = page.Control(1015)->geometry();
    auto* label = page.SubclassControl<CTransparentStatic>(1015);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(page.Control(1015), label);
    EXPECT_EQ(label->geometry(), labelRect);
    EXPECT_EQ(label->text(), QStringLiteral("Quantity remaining:"));

    CBasePage analysis(132, 0);
    EXPECT_NE(analysis.ControlAs<QTreeWidget>(1018), nullptr);
    EXPECT_EQ(analysis.Caption(), QStringLiteral("Analysis"));
}

TEST(MenuBuilder, ActionsCarryTheirCommandIds) {
    QWidget window;
    QMenuBar* bar = BuildMenuBar(LoadMenuTemplate(135, Language::English), &window);
    ASSERT_EQ(bar->actions().size(), 3);
    EXPECT_EQ(bar->actions()[1]->text(), QStringLiteral("&Window"));
    QAction* print = FindMenuCommand(*bar, 57607);
    ASSERT_NE(print, nullptr);
    EXPECT_FALSE(print->isEnabled());
    QAction* exit = FindMenuCommand(*bar, 57665);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text(), QStringLiteral("Exit"));
    EXPECT_TRUE(exit->isEnabled());
    EXPECT_EQ(FindMenuCommand(*bar, 32776)->text(), QStringLiteral("Keep on top"));
    EXPECT_EQ(FindMenuCommand(*bar, 1), nullptr);
    const auto fileItems = bar->actions()[0]->menu()->actions();
    ASSERT_EQ(fileItems.size(), 4);
    EXPECT_TRUE(fileItems[2]->isSeparator());
}

} // namespace
