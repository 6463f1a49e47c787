#include "framework/DibBitmap.h"
#include "framework/widgets/BasePage.h"
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

// The bottom-right corner of what was painted; (-1, -1) for nothing.
QPoint PaintedExtent(const QImage& image) {
    QPoint extent(-1, -1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kBackground) {
                extent = {std::max(extent.x(), x), std::max(extent.y(), y)};
            }
        }
    }
    return extent;
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
    EXPECT_EQ(PaintedExtent(Render(page)), QPoint(-1, -1));
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
    EXPECT_EQ(PaintedExtent(Render(page)), QPoint(-1, -1));
}

TEST(TransparentStatic, PaintsOnlyItsTextInTheWindowFontFromTheTopLeft) {
    QWidget window;
    QFont large = window.font();
    large.setPixelSize(40);
    window.setFont(large);
    CTransparentStatic label(&window);
    QFont small = label.font();
    small.setPixelSize(8);
    label.setFont(small);
    label.setGeometry(0, 0, 120, 60);
    EXPECT_EQ(PaintedExtent(Render(label)), QPoint(-1, -1));

    label.setText(QStringLiteral("Hg"));
    const QPoint extent = PaintedExtent(Render(label));
    // Letters of the window's 40-pixel font reach far below an 8-pixel line.
    EXPECT_GT(extent.y(), 20);
    EXPECT_LT(extent.x(), 80);
}

TEST(DialogBuilder, ControlsOfTheTemplateAtTheirPixelRectangles) {
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
    const auto px = [&](int units) { return (units * baseX + 2) / 4; };
    const auto py = [&](int units) { return (units * metrics.height() + 4) / 8; };
    const auto rect = [&](int left, int top, int right, int bottom) {
        return QRect(px(left), py(top), px(right) - px(left), py(bottom) - py(top));
    };

    EXPECT_EQ(page.size(), QSize(px(216), py(207)));
    ASSERT_NE(page.ControlAs<CHScrollListBox>(1000), nullptr);
    EXPECT_EQ(page.Control(1000)->geometry(), rect(7, 7, 90, 124));
    ASSERT_NE(page.ControlAs<QPushButton>(1003), nullptr);
    EXPECT_EQ(page.ControlAs<QPushButton>(1003)->text(), QStringLiteral("Inject"));
    ASSERT_NE(page.ControlAs<QPlainTextEdit>(1001), nullptr);
    EXPECT_TRUE(page.ControlAs<QPlainTextEdit>(1001)->isReadOnly());
    const QFrame* placeholder = page.ControlAs<QFrame>(1008);
    ASSERT_NE(placeholder, nullptr);
    EXPECT_FALSE(placeholder->isVisibleTo(&page));
    EXPECT_EQ(placeholder->geometry(), rect(95, 7, 209, 123));
    EXPECT_EQ(page.Control(4711), nullptr);
    EXPECT_NE(CBasePage(132, 0).ControlAs<QTreeWidget>(1018), nullptr);

    // A subclassed control takes the place of the one it replaces.
    const QRect labelRect = page.Control(1015)->geometry();
    auto* label = page.SubclassControl<CTransparentStatic>(1015);
    ASSERT_EQ(page.Control(1015), label);
    EXPECT_EQ(label->geometry(), labelRect);
    EXPECT_EQ(label->text(), QStringLiteral("Quantity remaining:"));
    EXPECT_EQ(page.SubclassControl<CTransparentStatic>(4711), nullptr);
}

TEST(MenuBuilder, ActionsCarryTheirCommandIds) {
    QWidget window;
    QMenuBar* bar = BuildMenuBar(LoadMenuTemplate(135, Language::English), &window);
    ASSERT_EQ(bar->actions().size(), 3);
    EXPECT_EQ(bar->actions()[1]->text(), QStringLiteral("&Window"));
    const struct {
        int command;
        const char* text;
        bool enabled;
    } items[] = {{57607, "Print", false}, {57665, "Exit", true}, {32776, "Keep on top", true}};
    for (const auto& item : items) {
        const QAction* action = FindMenuCommand(*bar, item.command);
        ASSERT_NE(action, nullptr) << item.command;
        EXPECT_EQ(action->text().toStdString(), item.text);
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.command;
    }
    EXPECT_EQ(FindMenuCommand(*bar, 1), nullptr);
    const auto fileItems = bar->actions()[0]->menu()->actions();
    ASSERT_EQ(fileItems.size(), 4);
    EXPECT_TRUE(fileItems[2]->isSeparator());
}

} // namespace
