#include "framework/SheetGeometry.h"

namespace {
// The row of controls along the bottom edge: its distance from the client
// area's bottom and right edges, its height, and the controls' widths and gaps.
constexpr int kRowBottomMargin = 6;
constexpr int kRowRightMargin = 7;
constexpr int kRowHeight = 22;
constexpr int kButtonWidth = 74;
constexpr int kCheckBoxWidth = 140;
constexpr int kButtonGap = 6;
constexpr int kCheckBoxGap = 20;

SheetRect RectEndingAt(int right, int width, int bottom) {
    return {right - width, bottom - kRowHeight, right, bottom};
}
} // namespace

SheetButtonRects LayoutButtons(int clientWidth, int clientHeight) {
    const int bottom = clientHeight - kRowBottomMargin;
    const SheetRect close = RectEndingAt(clientWidth - kRowRightMargin, kButtonWidth, bottom);
    const SheetRect hide = RectEndingAt(close.left - kButtonGap, kButtonWidth, bottom);
    const SheetRect keepOnTop = RectEndingAt(hide.left - kCheckBoxGap, kCheckBoxWidth, bottom);
    return {close, hide, keepOnTop};
}

namespace {
void MoveBy(SheetRect& rect, int dx, int dy) {
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
}
} // namespace

void ClampToWorkArea(SheetRect& rect, const SheetRect& workArea) {
    if (rect.right > workArea.right) {
        MoveBy(rect, workArea.right - rect.right, 0);
    }
    if (rect.bottom > workArea.bottom) {
        MoveBy(rect, 0, workArea.bottom - rect.bottom);
    }
    if (rect.left < workArea.left) {
        MoveBy(rect, workArea.left - rect.left, 0);
    }
    if (rect.top < workArea.top) {
        MoveBy(rect, 0, workArea.top - rect.top);
    }
}
