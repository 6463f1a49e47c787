#include "app/StringTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(StringTable, EveryLanguageHasEveryTextWithTheSamePlaceholders) {
    // Every identifier the program loads: the applet's and the framework's.
    std::vector<unsigned> ids = {6397, 6398, 6399, 6400, 6417, 57344};
    for (unsigned id = 100; id <= 131; ++id) {
        ids.push_back(id);
    }
    for (unsigned id = 6344; id <= 6359; ++id) {
        ids.push_back(id);
    }
    const auto placeholders = [](const std::string& s) {
        return std::count(s.begin(), s.end(), '%');
    };
    for (const auto language : {Language::English, Language::German, Language::French,
                                Language::Italian, Language::Dutch, Language::Spanish}) {
        for (const auto id : ids) {
            SCOPED_TRACE(std::string(LanguageCode(language)) + " " + std::to_string(id));
            const char* text = LoadString(id, language);
            const char* english = LoadString(id, Language::English);
            ASSERT_NE(text, nullptr);
            ASSERT_NE(english, nullptr);
            EXPECT_EQ(placeholders(text), placeholders(english));
            EXPECT_LE(std::string(text).size(), 255u);
        }
    }
    EXPECT_EQ(LoadString(99, Language::English), nullptr);
}

TEST(StringTable, KeepsTheTextsWhoseExactFormMatters) {
    const struct {
        Language language;
        unsigned id;
        const char* text;
    } texts[] = {
        {Language::German, 127, " "},
        {Language::German, 6355,
         "Schlie\xC3\x9F"
         "en"},
        {Language::German, 6359, " (PAUSE)"},
        {Language::German, 57344, "Splicebox"},
        {Language::Dutch, 127, ""},
        {Language::French, 127, " "},
        {Language::Spanish, 6359, "(EN PAUSA)"},
        {Language::English, 6359, " (PAUSED)"},
        {Language::Italian, 6349, "Errore durante la conversazione col gioco\nMacro: \"%s\""},
        {Language::Spanish, 6417, "Versi\xC3\xB3n"},
        {Language::English, 100,
         "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    };
    for (const auto& t : texts) {
        EXPECT_STREQ(LoadString(t.id, t.language), t.text) << LanguageCode(t.language) << t.id;
    }
}

} // namespace
