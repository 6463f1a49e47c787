#include "framework/DialogTemplate.h"

#include "core/KitException.h"
#include "framework/TemplateLines.h"

#include <array>
#include <utility>

namespace {
// Dialog templates of the platform keep coordinates and sizes in signed 16 bits.
constexpr int kMaxDialogUnits = 32767;
// Identifiers of controls are 16-bit; -1 is the "no identifier" of statics.
constexpr int kMaxControlId = 65535;
// A font size beyond this is no dialog font.
constexpr int kMaxPointSize = 72;

constexpr std::array<std::pair<const char*, DialogControlKind>, 7> kKinds{{
    {"listbox", DialogControlKind::ListBox},
    {"button", DialogControlKind::Button},
    {"static", DialogControlKind::Static},
    {"groupbox", DialogControlKind::GroupBox},
    {"edit", DialogControlKind::Edit},
    {"treeview", DialogControlKind::TreeView},
    {"frame", DialogControlKind::Frame},
}};

constexpr std::array<std::pair<const char*, DialogStyle>, 15> kStyles{{
    {"border", kStyleBorder},
    {"vscroll", kStyleVScroll},
    {"hscroll", kStyleHScroll},
    {"tabstop", kStyleTabStop},
    {"notify", kStyleNotify},
    {"sort", kStyleSort},
    {"nointegralheight", kStyleNoIntegralHeight},
    {"left", kStyleLeft},
    {"sunken", kStyleSunken},
    {"hidden", kStyleHidden},
    {"multiline", kStyleMultiLine},
    {"readonly", kStyleReadOnly},
    {"hasbuttons", kStyleHasButtons},
    {"haslines", kStyleHasLines},
    {"linesatroot", kStyleLinesAtRoot},
}};

template <typename Table> const auto* Find(const Table& table, const TemplateToken& token) {
    for (const auto& entry : table) {
        if (!token.quoted && token.text == entry.first) {
            return &entry.second;
        }
    }
    return static_cast<decltype(&table[0].second)>(nullptr);
}

// <kind> <id> <x> <y> <width> <height> "<text>" [<style> ...]
DialogControl ParseControl(const CTemplateLines& lines, const std::vector<TemplateToken>& tokens,
                           DialogControlKind kind) {
    constexpr std::size_t kFixedTokens = 7;
    if (tokens.size() < kFixedTokens) {
        lines.Fail("incomplete control");
    }
    DialogControl control;
    control.kind = kind;
    control.id = lines.Number(tokens[1], kNoControlId, kMaxControlId);
    control.rect = {
        lines.Number(tokens[2], 0, kMaxDialogUnits), lines.Number(tokens[3], 0, kMaxDialogUnits),
        lines.Number(tokens[4], 0, kMaxDialogUnits), lines.Number(tokens[5], 0, kMaxDialogUnits)};
    control.text = lines.Text(tokens[6]);
    for (std::size_t i = kFixedTokens; i < tokens.size(); ++i) {
        const DialogStyle* style = Find(kStyles, tokens[i]);
        if (style == nullptr) {
            lines.Fail("unknown style");
        }
        control.styles |= *style;
    }
    return control;
}
} // namespace

CDialogTemplate ParseDialogTemplate(std::string_view text, const std::string& resourceName) {
    CTemplateLines lines(text, resourceName);
    CDialogTemplate dialog;
    bool sized = false;
    bool hasFont = false;
    std::vector<TemplateToken> tokens;
    while (lines.Next(tokens)) {
        const std::string& keyword = tokens[0].text;
        if (!tokens[0].quoted && keyword == "dialog" && !sized && tokens.size() == 4) {
            dialog.width = lines.Number(tokens[1], 0, kMaxDialogUnits);
            dialog.height = lines.Number(tokens[2], 0, kMaxDialogUnits);
            dialog.caption = lines.Text(tokens[3]);
            sized = true;
        } else if (!tokens[0].quoted && keyword == "font" && !hasFont && tokens.size() == 3) {
            dialog.pointSize = lines.Number(tokens[1], 1, kMaxPointSize);
            dialog.fontFace = lines.Text(tokens[2]);
            hasFont = true;
        } else if (const DialogControlKind* kind = Find(kKinds, tokens[0])) {
            dialog.controls.push_back(ParseControl(lines, tokens, *kind));
        } else {
            lines.Fail("unknown or repeated statement");
        }
    }
    if (!sized || !hasFont) {
        lines.Fail("the dialog and font statements are required");
    }
    return dialog;
}

CDialogTemplate LoadDialogTemplate(int id, Language language) {
    const auto resource = FindTemplateResource("dialogs", id, language);
    if (!resource) {
        ThrowString("Error: dialog template %d is missing", id);
    }
    return ParseDialogTemplate(resource->text, resource->name);
}

CDialogTemplate LoadDialogTemplate(int id) {
    return LoadDialogTemplate(id, UserLanguage());
}

namespace {
// Scales a dialog-unit coordinate, rounding to the nearest pixel.
int Scale(int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
}
} // namespace

PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, DialogBaseUnits units) {
    constexpr int kUnitsPerCharacterWidth = 4;
    constexpr int kUnitsPerCharacterHeight = 8;
    const int left = Scale(rect.x, units.x, kUnitsPerCharacterWidth);
    const int top = Scale(rect.y, units.y, kUnitsPerCharacterHeight);
    const int right = Scale(rect.x + rect.width, units.x, kUnitsPerCharacterWidth);
    const int bottom = Scale(rect.y + rect.height, units.y, kUnitsPerCharacterHeight);
    return {left, top, right - left, bottom - top};
}
