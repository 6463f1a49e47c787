#pragma once

// A window rectangle as the sheet's placement logic sees it: right and bottom
// are edges, so a work area of 1024 x 768 at the origin is {0, 0, 1024, 768},
// while the sheet's own rectangle is stored with right = left + width - 1.
struct SheetRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const SheetRect&) const = default;
};

// Where the sheet's own controls sit in its client area of width w and height h.
struct SheetButtonRects {
    SheetRect close;
    SheetRect hide;
    SheetRect keepOnTop;
};

SheetButtonRects LayoutButtons(int clientWidth, int clientHeight);

// Moves `rect` (keeping its size) into `workArea`: right, then bottom, then
// left, then top, so a rectangle larger than the work area ends on its top-left.
void ClampToWorkArea(SheetRect& rect, const SheetRect& workArea);
