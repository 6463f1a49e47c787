#include "core/StringTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

TEST(StringTable, EveryLanguageHasEveryTextWithTheSamePlaceholders) {
    // Every identifier the program loads: the applet's and the framework's.
    std::vector<unsigned> ids = {6397, 6398, 6399, 6400, 6417, 57344};
    for (const auto& [first, last] : {std::pair{100u, 133u}, {6344u, 6359u}}) {
        for (unsigned id = first; id <= last; ++id) {
            ids.push_back(id);
        }
    }
    const auto placeholders = [](const char* s) { return std::count(s, s + std::strlen(s), '%'); };
    for (const auto language : {Language::English, Language::German, Language::French,
                                Language::Italian, Language::Dutch, Language::Spanish}) {
        for (const auto id : ids) {
            SCOPED_TRACE(std::string(LanguageCode(language)) + " " + std::to_string(id));
            const char* text = LoadString(id, language);
            const char* english = LoadString(id, Language::English);
            ASSERT_TRUE(text != nullptr && english != nullptr);
            EXPECT_EQ(placeholders(text), placeholders(english));
            EXPECT_LE(std::strlen(text), 255u);
        }
    }
    EXPECT_EQ(LoadString(99, Language::English), nullptr);
    // The texts are read as UTF-8.
    EXPECT_STREQ(LoadString(6355, Language::German), "Schlie\xC3\x9F"
                                                     "en");
}

} // namespace
