#pragma once

#include <windows.h>

// The Windows game substitute's fixed identities, which the bridge, the tests
// and the game's own installer rely on, and the kinds of its log lines.
namespace WinSimContract {

// The game's automation object; its ProgID is GameContract::kMacroServerName.
inline constexpr CLSID kGameClsid = {
    0x6B1C2F40, 0x3A5E, 0x4D7B, {0x9C, 0x21, 0x8E, 0x4F, 0x0A, 0x6D, 0x5B, 0x11}};
// The dispatch identifier the game gives its macro method.
inline constexpr DISPID kExecuteMacroDispId = 10;

inline constexpr const char* kResultOk = "ok";
inline constexpr const char* kErrorPrefix = "error: ";

// Log lines: "<UTC time, ISO 8601 with milliseconds> <kind> <text>", the text
// in UTF-8 with backslash, newline, carriage return and tab escaped as
// \\ \n \r \t.
inline constexpr const char* kLogMacro = "macro";     // a macro answered
inline constexpr const char* kLogRefused = "refused"; // a macro answered false
inline constexpr const char* kLogFailed = "failed";   // a macro answered with E_FAIL
inline constexpr const char* kLogEvent = "event";     // anything else the substitute did

} // namespace WinSimContract
