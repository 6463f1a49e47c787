#pragma once

#include "core/StringIds.h"
#include "platform/Locale.h"

// The text of a string-table entry in the user's language (UTF-8), or nullptr
// when that language's table has no such entry. The tables live in
// res/strings/<code>.txt and are compiled into the program.
const char* LoadString(unsigned id);

// The text of the entry in the user's language, or "" when there is none.
const char* LoadStringOrEmpty(unsigned id);

// The same for a given language, for tests and tools that show every language.
const char* LoadString(unsigned id, Language language);
