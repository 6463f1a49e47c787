#include "framework/DialogTemplate.h"
#include "framework/MenuTemplate.h"
#include "tests/support/Caught.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Templates, MalformedFilesNameTheResourceAndLine) {
    const auto dialog = [](const char* text) {
        return CaughtMessage([&] { ParseDialogTemplate(text, "d"); });
    };
    const auto menu = [](const char* text) {
        return CaughtMessage([&] { ParseMenuTemplate(text, "d"); });
    };
    const struct {
        std::string message;
        const char* error;
    } cases[] = {
        {dialog("dialog 10 10 \"x\"\nfont 8 \"f\"\nbutton 1 0 0 5 5 \"a\" shiny\n"),
         "line 3: unknown style"},
        {dialog("# comment\ndialog 10 10 \"unclosed\n"), "line 2: unclosed quote"},
        {dialog("dialog 10 10 \"ends in a backslash\\\nfont 8 \"f\"\n"), "line 1: unclosed quote"},
        {dialog("dialog 10 10 \"x\"\nfont 8 \"f\"\nedit 1 0 0 5\n"), "line 3: incomplete control"},
        {dialog("dialog 10 10 \"x\"\n"), "line 1: the dialog and font statements are required"},
        {dialog("dialog 10 10 \"x\"\ndialog 10 10 \"x\"\n"),
         "line 2: unknown or repeated statement"},
        {menu("item 5 \"x\"\n"), "line 1: an item outside a popup"},
        {menu("popup \"a\"\nitem 0 \"x\"\n"), "line 2: number expected"},
        {menu("popup \"a\"\nitem \"5\" \"x\"\n"), "line 2: number expected"},
        {menu("popup \"a\"\nitem 5 \"x\" dim\n"), "line 2: malformed item"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.message, std::string("Error in resource \"d\", ") + c.error);
    }
    // Quotes and backslashes in a text are escaped, and line ends may carry a carriage return.
    EXPECT_EQ(
        ParseDialogTemplate("dialog 1 2 \"a \\\"b\\\" \\\\ c\"\r\nfont 9 \"f\"\r\n", "t").caption,
        "a \"b\" \\ c");
    EXPECT_EQ(CaughtMessage([] { LoadDialogTemplate(999, Language::German); }),
              "Error: dialog template 999 is missing");
}

// The pages find controls and menu commands by identifier: a translation that
// drops, reorders or restyles one breaks that language alone.
TEST(Templates, EveryLanguageKeepsTheEnglishControlsAndMenuCommands) {
    const auto shape = [](Language language) {
        std::vector<std::string> shape;
        for (int id : {129, 130, 132}) {
            const CDialogTemplate dialog = LoadDialogTemplate(id, language);
            shape.push_back(dialog.fontFace + " " + std::to_string(dialog.pointSize));
            for (const DialogControl& c : dialog.controls) {
                shape.push_back(std::to_string(static_cast<int>(c.kind)) + " " +
                                std::to_string(c.id) + " " + std::to_string(c.styles));
            }
        }
        for (const MenuPopup& popup : LoadMenuTemplate(135, language).popups) {
            shape.push_back("popup");
            for (const MenuItem& item : popup.items) {
                shape.push_back(std::to_string(item.commandId) + (item.grayed ? " grayed" : ""));
            }
        }
        return shape;
    };
    EXPECT_EQ(LoadMenuTemplate(135, Language::German).popups[2].items[1].text, "Über")
        << "a text outside ASCII";
    for (Language language : {Language::German, Language::French, Language::Italian,
                              Language::Dutch, Language::Spanish}) {
        EXPECT_EQ(shape(language), shape(Language::English)) << static_cast<int>(language);
    }
}

} // namespace
