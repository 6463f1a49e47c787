#include "framework/MenuTemplate.h"

#include "core/KitException.h"
#include "framework/TemplateLines.h"

namespace {
// Command identifiers are 16-bit.
constexpr int kMaxCommandId = 65535;

bool Is(const TemplateToken& token, const char* keyword) {
    return !token.quoted && token.text == keyword;
}

// item <command id> "<text>" [grayed]
MenuItem ParseItem(const CTemplateLines& lines, const std::vector<TemplateToken>& tokens) {
    const bool grayed = tokens.size() == 4 && Is(tokens[3], "grayed");
    if (tokens.size() != 3 && !grayed) {
        lines.Fail("malformed item");
    }
    MenuItem item;
    item.commandId = lines.Number(tokens[1], 1, kMaxCommandId);
    item.text = lines.Text(tokens[2]);
    item.grayed = grayed;
    return item;
}
} // namespace

CMenuTemplate ParseMenuTemplate(std::string_view text, const std::string& resourceName) {
    CTemplateLines lines(text, resourceName);
    CMenuTemplate menu;
    std::vector<TemplateToken> tokens;
    while (lines.Next(tokens)) {
        if (Is(tokens[0], "popup") && tokens.size() == 2) {
            menu.popups.push_back({lines.Text(tokens[1]), {}});
            continue;
        }
        if (menu.popups.empty()) {
            lines.Fail("an item outside a popup");
        }
        auto& items = menu.popups.back().items;
        if (Is(tokens[0], "separator") && tokens.size() == 1) {
            items.push_back(
                MenuItem{.separator = true, .commandId = 0, .text = {}, .grayed = false});
        } else if (Is(tokens[0], "item")) {
            items.push_back(ParseItem(lines, tokens));
        } else {
            lines.Fail("unknown statement");
        }
    }
    return menu;
}

CMenuTemplate LoadMenuTemplate(int id, Language language) {
    const auto resource = FindTemplateResource("menus", id, language);
    if (!resource) {
        ThrowString("Error: menu %d is missing", id);
    }
    return ParseMenuTemplate(resource->text, resource->name);
}

CMenuTemplate LoadMenuTemplate(int id) {
    return LoadMenuTemplate(id, UserLanguage());
}
