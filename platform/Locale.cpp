#include "platform/Locale.h"

#include <cstdlib>
#include <string_view>

namespace {

// The POSIX locale name in force for messages, e.g. "de_DE.UTF-8"; "" when unset.
std::string_view MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return {};
}

std::string_view LanguagePart(std::string_view locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

std::string_view TerritoryPart(std::string_view locale) {
    const auto underscore = locale.find('_');
    if (underscore == std::string_view::npos) {
        return {};
    }
    const auto rest = locale.substr(underscore + 1);
    return rest.substr(0, rest.find_first_of(".@"));
}

struct AbbreviationEntry {
    std::string_view language;
    std::string_view territory; // empty: the language's primary form
    const char* abbreviation;
};

// Windows names a language by its two ISO letters and a third for the region.
constexpr AbbreviationEntry kAbbreviations[] = {
    {"en", "GB", "ENG"}, {"en", "AU", "ENA"}, {"en", "CA", "ENC"}, {"en", "NZ", "ENZ"},
    {"en", "IE", "ENI"}, {"en", "ZA", "ENS"}, {"en", "", "ENU"},   {"de", "AT", "DEA"},
    {"de", "CH", "DES"}, {"de", "LU", "DEL"}, {"de", "LI", "DEC"}, {"de", "", "DEU"},
    {"fr", "BE", "FRB"}, {"fr", "CA", "FRC"}, {"fr", "CH", "FRS"}, {"fr", "LU", "FRL"},
    {"fr", "", "FRA"},   {"it", "CH", "ITS"}, {"it", "", "ITA"},   {"nl", "BE", "NLB"},
    {"nl", "", "NLD"},   {"es", "MX", "ESM"}, {"es", "", "ESN"},
};

} // namespace

Language UserLanguage() {
    const auto language = LanguagePart(MessagesLocale());
    if (language == "de") return Language::German;
    if (language == "fr") return Language::French;
    if (language == "it") return Language::Italian;
    if (language == "nl") return Language::Dutch;
    if (language == "es") return Language::Spanish;
    return Language::English;
}

const char* LanguageCode(Language language) {
    switch (language) {
    case Language::German: return "de";
    case Language::French: return "fr";
    case Language::Italian: return "it";
    case Language::Dutch: return "nl";
    case Language::Spanish: return "es";
    case Language::English: break;
    }
    return "en";
}

std::string LanguageAbbreviation() {
    const auto locale = MessagesLocale();
    auto language = LanguagePart(locale);
    const auto territory = TerritoryPart(locale);
    // The C and POSIX locales are the system's default, United States English.
    if (language.empty() || language == "C" || language == "POSIX") {
        language = "en";
    }
    for (const auto& entry : kAbbreviations) {
        if (entry.language == language && (entry.territory.empty() || entry.territory == territory)) {
            return entry.abbreviation;
        }
    }
    if (language.size() != 2) {
        return {};
    }
    // Other languages: their two letters and the usual primary-region letter.
    std::string abbreviation{language};
    for (auto& c : abbreviation) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return abbreviation + abbreviation[0];
}
