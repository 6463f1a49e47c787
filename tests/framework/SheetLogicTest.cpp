#include "framework/SheetGeometry.h"
#include "framework/Tiling.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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
