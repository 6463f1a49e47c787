#pragma once

#include "platform/Locale.h"

#include <string>
#include <string_view>
#include <vector>

// One entry of a drop-down menu: a command or a separator.
struct MenuItem {
    bool separator = false;
    int commandId = 0;
    std::string text; // '&' marks the access key
    bool grayed = false;
};

struct MenuPopup {
    std::string text;
    std::vector<MenuItem> items;
};

// A menu bar read from res/menus/<id>.<language>.txt.
struct CMenuTemplate {
    std::vector<MenuPopup> popups;
};

// Parses a menu file (format at the top of each file in res/menus/);
// CKitException naming `resourceName` and the line for anything malformed.
CMenuTemplate ParseMenuTemplate(std::string_view text, const std::string& resourceName);

// The compiled-in menu `id` in `language`, falling back to English when that
// language has none; CKitException when there is no such menu.
CMenuTemplate LoadMenuTemplate(int id, Language language);
CMenuTemplate LoadMenuTemplate(int id);
