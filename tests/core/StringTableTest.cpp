#include "core/StringTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr Language kLanguages[] = {Language::English, Language::German, Language::French,
                                   Language::Italian, Language::Dutch,  Language::Spanish};

// The conversions of a printf format in order ("%s", "%d", "%%", ...), flags
// and widths left out: a translation that swaps two of them would pass an
// integer where the formatting reads a string.
std::string Conversions(const char* format) {
    std::string found;
    for (const char* p = std::strchr(format, '%'); p != nullptr; p = std::strchr(p + 1, '%')) {
        p += std::strspn(p + 1, "-+ #0123456789.lh") + 1;
        found += *p;
        if (*p == '\0') {
            break;
        }
    }
    return found;
}

TEST(StringTable, EveryIdInEveryLanguageWithTheEnglishConversionsInOrder) {
    EXPECT_EQ(Conversions("%s then %-3d, 100%% and %5.2f"), "sd%f");
    for (const auto language : kLanguages) {
        for (const auto id : kEveryStringId) {
            SCOPED_TRACE(std::string(LanguageCode(language)) + " " + std::to_string(id));
            const char* text = LoadString(id, language);
            const char* english = LoadString(id, Language::English);
            ASSERT_TRUE(text != nullptr && english != nullptr);
            EXPECT_EQ(Conversions(text), Conversions(english));
            EXPECT_LE(std::strlen(text), 255u);
        }
    }
    EXPECT_EQ(LoadString(99, Language::English), nullptr);
    // The texts are read as UTF-8.
    EXPECT_STREQ(LoadString(IDS_CLOSE, Language::German), "Schlie\xC3\x9F"
                                                          "en");
}

} // namespace
