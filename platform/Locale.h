#pragma once

#include <string>

// The six languages of the string tables.
enum class Language { English, German, French, Italian, Dutch, Spanish };

// The user's language from LC_ALL, then LC_MESSAGES, then LANG (the first one set
// and non-empty): German, French, Italian, Dutch or Spanish by the language code,
// English otherwise. Read on every call, so tests may change the environment.
Language UserLanguage();

// The string-table file stem of a language: "en", "de", "fr", "it", "nl", "es".
const char* LanguageCode(Language language);

// The three-letter language abbreviation used to name language-specific files,
// in the Windows convention (en_US ENU, en_GB ENG, de_DE DEU, fr_FR FRA, ...).
// Empty when it cannot be determined.
std::string LanguageAbbreviation();
