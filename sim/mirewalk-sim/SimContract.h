#pragma once

// The game substitute's own surface, for the people and tests that drive it.
namespace SimContract {

// Control interface: Command(s line) -> (s result), the same commands as the
// substitute reads from its standard input, one a line. The result is "ok",
// a query's answer, or "error: " and the reason.
inline constexpr const char* kControlName = "MWGS.Sim";
inline constexpr const char* kControlPath = "/";
inline constexpr const char* kControlInterface = "MWGS.Sim";
inline constexpr const char* kCommandMethod = "Command";

inline constexpr const char* kResultOk = "ok";
inline constexpr const char* kErrorPrefix = "error: ";

// Log lines: "<UTC time, ISO 8601 with milliseconds> <kind> <text>", the text
// with backslash, newline, carriage return and tab escaped as \\ \n \r \t.
inline constexpr const char* kLogMacro = "macro";     // a macro answered
inline constexpr const char* kLogRefused = "refused"; // a macro answered false
inline constexpr const char* kLogFailed = "failed";   // a macro answered with a D-Bus error
inline constexpr const char* kLogEvent = "event";     // anything else the substitute did

} // namespace SimContract
