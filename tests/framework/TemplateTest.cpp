#include "framework/DialogTemplate.h"
#include "framework/MenuTemplate.h"
#include "tests/support/Caught.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr Language kLanguages[] = {Language::English, Language::German, Language::French,
                                   Language::Italian, Language::Dutch,  Language::Spanish};

const DialogControl* FindControl(const CDialogTemplate& dialog, const std::string& text) {
    for (const DialogControl& control : dialog.controls) {
        if (control.text == text) {
            return &control;
        }
    }
    return nullptr;
}

TEST(DialogTemplates, EveryLanguageKeepsTheEnglishControlsAndStyles) {
    for (int id : {129, 130, 132}) {
        const CDialogTemplate english = LoadDialogTemplate(id, Language::English);
        for (Language language : kLanguages) {
            const CDialogTemplate dialog = LoadDialogTemplate(id, language);
            ASSERT_EQ(dialog.controls.size(), english.controls.size()) << id;
            EXPECT_EQ(dialog.pointSize, 8);
            EXPECT_EQ(dialog.fontFace, "MS Sans Serif");
            for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
                EXPECT_EQ(dialog.controls[i].id, english.controls[i].id) << id;
                EXPECT_EQ(dialog.controls[i].kind, english.controls[i].kind) << id;
                EXPECT_EQ(dialog.controls[i].styles, english.controls[i].styles) << id;
            }
        }
    }
}

TEST(DialogTemplates, SizesCaptionsAndTranslatedTexts) {
    const CDialogTemplate cover = LoadDialogTemplate(129, Language::English);
    EXPECT_EQ(cover.width, 215);
    EXPECT_EQ(cover.height, 207);
    EXPECT_EQ(cover.caption, "");
    EXPECT_EQ(LoadDialogTemplate(129, Language::German).height, 209);

    const CDialogTemplate agents = LoadDialogTemplate(130, Language::English);
    EXPECT_EQ(agents.caption, "Agents");
    ASSERT_EQ(agents.controls.size(), 7u);
    const DialogControl& list = agents.controls[0];
    EXPECT_EQ(list.id, 1000);
    EXPECT_EQ(list.kind, DialogControlKind::ListBox);
    EXPECT_EQ(list.rect, (DialogUnitRect{7, 7, 83, 117}));
    EXPECT_EQ(list.styles, kStyleBorder | kStyleVScroll | kStyleHScroll | kStyleTabStop |
                               kStyleNotify | kStyleSort | kStyleNoIntegralHeight);
    const DialogControl* placeholder = &agents.controls[5];
    EXPECT_EQ(placeholder->id, 1008);
    EXPECT_EQ(placeholder->styles, kStyleBorder | kStyleHidden);
    const CDialogTemplate french = LoadDialogTemplate(130, Language::French);
    ASSERT_NE(FindControl(french, "Quantité restante :"), nullptr);
    EXPECT_EQ(FindControl(french, "Quantité restante :")->id, 1015);
    EXPECT_NE(FindControl(LoadDialogTemplate(130, Language::German), "Hinzugeben"), nullptr);

    const CDialogTemplate analysis = LoadDialogTemplate(132, Language::Spanish);
    EXPECT_EQ(analysis.caption, "Análisis");
    EXPECT_EQ(analysis.height, 183);
    ASSERT_NE(FindControl(analysis, "Lista de agentes"), nullptr);
    EXPECT_EQ(FindControl(analysis, "Lista de agentes")->rect.width, 58);
    EXPECT_EQ(FindControl(analysis, "Resultados de los análisis")->rect.height, 168);
    EXPECT_EQ(analysis.controls.back().id, 1018);
    EXPECT_EQ(analysis.controls.back().rect, (DialogUnitRect{91, 17, 110, 151}));
}

TEST(DialogTemplates, MalformedFilesNameTheResourceAndLine) {
    const auto parse = [](const char* text) {
        return CaughtMessage([&] { ParseDialogTemplate(text, "dialogs/9.en.txt"); });
    };
    EXPECT_EQ(parse("dialog 10 10 \"x\"\nfont 8 \"f\"\nbutton 1 0 0 5 5 \"a\" shiny\n"),
              "Error in resource \"dialogs/9.en.txt\", line 3: unknown style");
    EXPECT_EQ(parse("# comment\ndialog 10 10 \"unclosed\n"),
              "Error in resource \"dialogs/9.en.txt\", line 2: unclosed quote");
    EXPECT_EQ(parse("dialog 10 10 \"x\"\nfont 8 \"f\"\nedit 1 0 0 5\n"),
              "Error in resource \"dialogs/9.en.txt\", line 3: incomplete control");
    EXPECT_EQ(parse("dialog 10 10 \"x\"\n"),
              "Error in resource \"dialogs/9.en.txt\", line 1: the dialog and font statements "
              "are required");
    EXPECT_EQ(parse("dialog 10 10 \"x\"\ndialog 10 10 \"x\"\n"),
              "Error in resource \"dialogs/9.en.txt\", line 2: unknown or repeated statement");
    const CDialogTemplate escaped =
        ParseDialogTemplate("dialog 1 2 \"a \\\"b\\\" \\\\ c\"\r\nfont 9 \"f\"\r\n", "t");
    EXPECT_EQ(escaped.caption, "a \"b\" \\ c");
    EXPECT_EQ(escaped.pointSize, 9);
    EXPECT_EQ(CaughtMessage([] { LoadDialogTemplate(999, Language::German); }),
              "Error: dialog template 999 is missing");
}

TEST(DialogTemplates, EdgesAreScaledAndRoundedSeparately) {
    // Base units 6 x 13: x * 6 / 4 and y * 13 / 8, each edge rounded.
    EXPECT_EQ(DialogUnitsToPixels({7, 7, 83, 117}, {6, 13}), (PixelRect{11, 11, 124, 191}));
    EXPECT_EQ(DialogUnitsToPixels({1, 1, 1, 1}, {6, 13}), (PixelRect{2, 2, 1, 1}));
    EXPECT_EQ(DialogUnitsToPixels({0, 0, 216, 207}, {7, 16}), (PixelRect{0, 0, 378, 414}));
}

TEST(MenuTemplates, FileWindowAndHelpInSixLanguages) {
    const CMenuTemplate english = LoadMenuTemplate(135, Language::English);
    EXPECT_EQ(english.popups[2].items[1].commandId, 57664);
    for (Language language : kLanguages) {
        const CMenuTemplate menu = LoadMenuTemplate(135, language);
        ASSERT_EQ(menu.popups.size(), 3u);
        for (std::size_t p = 0; p < 3; ++p) {
            ASSERT_EQ(menu.popups[p].items.size(), english.popups[p].items.size());
            for (std::size_t i = 0; i < menu.popups[p].items.size(); ++i) {
                EXPECT_EQ(menu.popups[p].items[i].commandId, english.popups[p].items[i].commandId);
                EXPECT_EQ(menu.popups[p].items[i].grayed, english.popups[p].items[i].grayed);
            }
        }
    }
    EXPECT_EQ(LoadMenuTemplate(135, Language::French).popups[1].text, "Fe&nêtre");
    EXPECT_EQ(LoadMenuTemplate(135, Language::Spanish).popups[2].items[1].text, "Acerca de...");
    EXPECT_EQ(LoadMenuTemplate(135, Language::German).popups[2].items[1].text, "Über");

    EXPECT_EQ(CaughtMessage([] { ParseMenuTemplate("item 5 \"x\"\n", "m"); }),
              "Error in resource \"m\", line 1: an item outside a popup");
    EXPECT_EQ(CaughtMessage([] { ParseMenuTemplate("popup \"a\"\nitem 0 \"x\"\n", "m"); }),
              "Error in resource \"m\", line 2: number expected");
    EXPECT_EQ(CaughtMessage([] { ParseMenuTemplate("popup \"a\"\nitem 5 \"x\" dim\n", "m"); }),
              "Error in resource \"m\", line 2: malformed item");
}

} // namespace
