#pragma once

// Every string-table identifier the program loads, each named once. The enum
// and the list that the string-table test walks through every language are
// both made from this one table, so a text cannot be used without being
// checked in all six.
#define SPLICEBOX_STRING_IDS(X)                                                                    \
    X(IDS_OLE_INIT_FAILED, 100)                                                                    \
    X(IDS_EVENT_DEACTIVATE, 101)                                                                   \
    X(IDS_EVENT_PUSH, 102)                                                                         \
    X(IDS_EVENT_PULL, 103)                                                                         \
    X(IDS_EVENT_HIT, 104)                                                                          \
    X(IDS_EVENT_PICKED_UP, 105)                                                                    \
    X(IDS_EVENT_DROPPED, 106)                                                                      \
    X(IDS_EVENT_COLLISION, 107)                                                                    \
    X(IDS_EVENT_ENTER_SCOPE, 108)                                                                  \
    X(IDS_EVENT_LEAVE_SCOPE, 109)                                                                  \
    X(IDS_EVENT_TIMER, 110)                                                                        \
    X(IDS_EVENT_PUSHED_LEFT, 111)                                                                  \
    X(IDS_EVENT_PUSHED_RIGHT, 112)                                                                 \
    X(IDS_EVENT_EAT, 113)                                                                          \
    X(IDS_EVENT_GENERIC, 114)                                                                      \
    X(IDS_SECTION_GENERAL, 115)                                                                    \
    X(IDS_SECTION_SCRIPTS, 116)                                                                    \
    X(IDS_SECTION_CHEMICALS, 117)                                                                  \
    X(IDS_SECTION_WARNINGS, 118)                                                                   \
    X(IDS_FILE, 119)                                                                               \
    X(IDS_INSTALLATION_SCRIPT, 120)                                                                \
    X(IDS_NO_INSTALLATION_SCRIPT, 121)                                                             \
    X(IDS_REMOVAL_SCRIPT, 122)                                                                     \
    X(IDS_NO_REMOVAL_SCRIPT, 123)                                                                  \
    X(IDS_SUSPICIOUS_KILL, 124)                                                                    \
    X(IDS_FIRES_NEURONS, 125)                                                                      \
    X(IDS_APPLET_TITLE, 126)                                                                       \
    X(IDS_APPLET_DESCRIPTION, 127)                                                                 \
    X(IDS_DAYS, 128)                                                                               \
    X(IDS_INFINITE, 129)                                                                           \
    X(IDS_NO_USES_LEFT, 130)                                                                       \
    X(IDS_STILL_WAITING, 131)                                                                      \
    X(IDS_USE_NOT_COUNTED, 132)                                                                    \
    X(IDS_FOLDER_NOT_MAPPED, 133)                                                                  \
    X(IDS_ERROR_READING_FILE, 6344)                                                                \
    X(IDS_ERROR_WRITING_FILE, 6345)                                                                \
    X(IDS_ERROR_ALLOCATING_MEMORY, 6346)                                                           \
    X(IDS_UNEXPECTED_END_OF_FILE, 6347)                                                            \
    X(IDS_UNHANDLED_EXCEPTION, 6348)                                                               \
    X(IDS_ERROR_TALKING_TO_GAME, 6349)                                                             \
    X(IDS_ERROR_OPENING_REGISTRY_KEY, 6350)                                                        \
    X(IDS_ERROR_READING_REGISTRY, 6351)                                                            \
    X(IDS_ERROR_WRITING_REGISTRY, 6352)                                                            \
    X(IDS_ERROR_DELETING_REGISTRY_KEY, 6353)                                                       \
    X(IDS_ERROR_CHANGING_DIRECTORY, 6354)                                                          \
    X(IDS_CLOSE, 6355)                                                                             \
    X(IDS_HIDE, 6356)                                                                              \
    X(IDS_KEEP_ON_TOP, 6357)                                                                       \
    X(IDS_NO_SUBJECT, 6358)                                                                        \
    X(IDS_PAUSED, 6359)                                                                            \
    X(IDS_NOT_A_KIV_FILE, 6397)                                                                    \
    X(IDS_ERROR_LOOKING_FOR_KIV, 6398)                                                             \
    X(IDS_UNEXPECTED_FILE_FORMAT, 6399)                                                            \
    X(IDS_REQUIRED_FILE_MISSING, 6400)                                                             \
    X(IDS_VERSION, 6417)                                                                           \
    X(IDS_APPLICATION_TITLE, 57344)

#define SPLICEBOX_STRING_ID_ENUMERATOR(name, value) name = value,
enum StringId : unsigned { SPLICEBOX_STRING_IDS(SPLICEBOX_STRING_ID_ENUMERATOR) };
#undef SPLICEBOX_STRING_ID_ENUMERATOR

#define SPLICEBOX_STRING_ID_ELEMENT(name, value) name,
inline constexpr StringId kEveryStringId[] = {SPLICEBOX_STRING_IDS(SPLICEBOX_STRING_ID_ELEMENT)};
#undef SPLICEBOX_STRING_ID_ELEMENT
