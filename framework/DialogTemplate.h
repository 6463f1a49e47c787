#pragma once

#include "platform/Locale.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class DialogControlKind { ListBox, Button, Static, GroupBox, Edit, TreeView, Frame };

// Style words of a template control, as bits.
enum DialogStyle : std::uint32_t {
    kStyleBorder = 1u << 0,
    kStyleVScroll = 1u << 1,
    kStyleHScroll = 1u << 2,
    kStyleTabStop = 1u << 3,
    kStyleNotify = 1u << 4,
    kStyleSort = 1u << 5,
    kStyleNoIntegralHeight = 1u << 6,
    kStyleLeft = 1u << 7,
    kStyleSunken = 1u << 8,
    kStyleHidden = 1u << 9,
    kStyleMultiLine = 1u << 10,
    kStyleReadOnly = 1u << 11,
    kStyleHasButtons = 1u << 12,
    kStyleHasLines = 1u << 13,
    kStyleLinesAtRoot = 1u << 14,
};

// A rectangle in dialog units: x, y of the top-left corner, width, height.
struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const DialogUnitRect&) const = default;
};

// The same in pixels.
using PixelRect = DialogUnitRect;

// A control without an identifier carries this one.
inline constexpr int kNoControlId = -1;

struct DialogControl {
    DialogControlKind kind = DialogControlKind::Static;
    int id = kNoControlId;
    DialogUnitRect rect;
    std::string text;
    std::uint32_t styles = 0;
};

// A page's layout: its size in dialog units, its caption, its font and its
// controls, read from res/dialogs/<id>.<language>.txt.
struct CDialogTemplate {
    int width = 0;
    int height = 0;
    std::string caption;
    int pointSize = 0;
    std::string fontFace;
    std::vector<DialogControl> controls;
};

// Parses a template file (format at the top of each file in res/dialogs/);
// CKitException naming `resourceName` and the line for anything malformed.
CDialogTemplate ParseDialogTemplate(std::string_view text, const std::string& resourceName);

// The compiled-in template `id` in `language`, falling back to English when
// that language has none; CKitException when there is no such template.
CDialogTemplate LoadDialogTemplate(int id, Language language);
CDialogTemplate LoadDialogTemplate(int id);

// Dialog units are fractions of the dialog font: a quarter of its average
// character width across, an eighth of its height down.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// Converts the rectangle's edges to pixels, rounding each one, so adjacent
// controls stay adjacent.
PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, DialogBaseUnits units);
