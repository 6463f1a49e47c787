#include "app/StringTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr Language kLanguages[] = {Language::English, Language::German, Language::French,
                                   Language::Italian, Language::Dutch,  Language::Spanish};

// Every identifier the program loads: the applet's 100 to 131 and the
// framework's messages, control and title texts.
std::vector<unsigned> ProgramIds() {
    std::vector<unsigned> ids;
    for (unsigned id = 100; id <= 131; ++id) {
        ids.push_back(id);
    }
    for (unsigned id = 6344; id <= 6359; ++id) {
        ids.push_back(id);
    }
    for (unsigned id : {6397u, 6398u, 6399u, 6400u, 6417u, 57344u}) {
        ids.push_back(id);
    }
    return ids;
}

TEST(StringTable, EveryLanguageHasEveryTextWithTheSamePlaceholders) {
    for (const auto language : kLanguages) {
        for (const auto id : ProgramIds()) {
            const char* text = LoadString(id, language);
            const char* english = LoadString(id, Language::English);
            ASSERT_NE(text, nullptr) << LanguageCode(language) << " " << id;
            ASSERT_NE(english, nullptr) << id;
            const auto placeholders = [](const std::string& s) {
                return std::count(s.begin(), s.end(), '%');
            };
            EXPECT_EQ(placeholders(text), placeholders(english)) << LanguageCode(language) << id;
            EXPECT_LE(std::string(text).size(), 255u) << LanguageCode(language) << id;
        }
    }
}

TEST(StringTable, KeepsTheTextsWhoseExactFormMatters) {
    const std::pair<unsigned, const char*> german[] = {{127, " "},
                                                       {6355, "Schlie\xC3\x9F"
                                                              "en"},
                                                       {6359, " (PAUSE)"},
                                                       {57344, "Splicebox"}};
    for (const auto& [id, text] : german) {
        EXPECT_STREQ(LoadString(id, Language::German), text) << id;
    }
    EXPECT_STREQ(LoadString(127, Language::Dutch), "");
    EXPECT_STREQ(LoadString(127, Language::French), " ");
    EXPECT_STREQ(LoadString(6359, Language::Spanish), "(EN PAUSA)");
    EXPECT_STREQ(LoadString(6359, Language::English), " (PAUSED)");
    EXPECT_STREQ(LoadString(6349, Language::Italian),
                 "Errore durante la conversazione col gioco\nMacro: \"%s\"");
    EXPECT_STREQ(LoadString(6417, Language::Spanish), "Versi\xC3\xB3n");
    EXPECT_STREQ(LoadString(100, Language::English),
                 "OLE initialization failed.  Make sure that the OLE libraries are the correct "
                 "version.");
}

} // namespace
