#pragma once

#include "platform/Locale.h"

// String-table identifiers used by more than one subsystem.
enum StringId : unsigned {
    IDS_OLE_INIT_FAILED = 100,
    IDS_APPLET_TITLE = 126,
    IDS_APPLET_DESCRIPTION = 127,
    IDS_DAYS = 128,
    IDS_INFINITE = 129,
    IDS_ERROR_READING_FILE = 6344,
    IDS_ERROR_WRITING_FILE = 6345,
    IDS_ERROR_ALLOCATING_MEMORY = 6346,
    IDS_UNEXPECTED_END_OF_FILE = 6347,
    IDS_UNHANDLED_EXCEPTION = 6348,
    IDS_ERROR_TALKING_TO_GAME = 6349,
    IDS_ERROR_OPENING_REGISTRY_KEY = 6350,
    IDS_ERROR_READING_REGISTRY = 6351,
    IDS_ERROR_WRITING_REGISTRY = 6352,
    IDS_ERROR_DELETING_REGISTRY_KEY = 6353,
    IDS_ERROR_CHANGING_DIRECTORY = 6354,
    IDS_CLOSE = 6355,
    IDS_HIDE = 6356,
    IDS_KEEP_ON_TOP = 6357,
    IDS_NO_SUBJECT = 6358,
    IDS_PAUSED = 6359,
    IDS_NOT_A_KIV_FILE = 6397,
    IDS_ERROR_LOOKING_FOR_KIV = 6398,
    IDS_UNEXPECTED_FILE_FORMAT = 6399,
    IDS_REQUIRED_FILE_MISSING = 6400,
    IDS_VERSION = 6417,
    IDS_APPLICATION_TITLE = 57344,
};

// The text of a string-table entry in the user's language (UTF-8), or nullptr
// when that language's table has no such entry. The tables live in
// res/strings/<code>.txt and are compiled into the program.
const char* LoadString(unsigned id);

// The text of the entry in the user's language, or "" when there is none.
const char* LoadStringOrEmpty(unsigned id);

// The same for a given language, for tests and tools that show every language.
const char* LoadString(unsigned id, Language language);
