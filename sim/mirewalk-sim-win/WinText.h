#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Conversions between the UTF-16 of the Windows API and the UTF-8 of the log,
// the commands and the console output.
std::string ToUtf8(std::wstring_view text);
std::wstring ToWide(std::string_view utf8);

// "0x8000FFFF": how HRESULTs are shown in results and messages.
std::string FormatHresult(HRESULT result);

// Writes all of the text to a handle; output that nobody reads any more is
// not an error worth stopping the game for.
void WriteText(HANDLE handle, std::string_view text);

// Prints "mirewalk-sim-win: MESSAGE" on standard error; returns the exit status 1.
int ReportFailure(std::string_view message);
