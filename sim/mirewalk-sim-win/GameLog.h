#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Writes the substitute's log: one line per macro or event, with a timestamp,
// to standard output and to an optional file. Each line goes out in one write
// at once: tests read the file while the substitute runs.
class CGameLog {
public:
    // An empty path logs to standard output only. Throws std::runtime_error
    // when the file cannot be opened.
    explicit CGameLog(const std::wstring& path);
    ~CGameLog();
    CGameLog(const CGameLog&) = delete;
    CGameLog& operator=(const CGameLog&) = delete;

    void Write(const char* kind, std::wstring_view text);
    void Write(const char* kind, std::string_view utf8);

    // The text made safe for one line.
    static std::string Escape(std::string_view utf8);

private:
    HANDLE m_stdout;
    HANDLE m_file = INVALID_HANDLE_VALUE;
};
