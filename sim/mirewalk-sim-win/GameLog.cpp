#include "sim/mirewalk-sim-win/GameLog.h"

#include "sim/mirewalk-sim-win/WinText.h"

#include <cstdio>
#include <stdexcept>

namespace {

// "2026-12-07T19:01:02.345Z"
std::string UtcTimestamp() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    char text[sizeof "2026-12-07T19:01:02.345Z"];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

} // namespace

CGameLog::CGameLog(const std::wstring& path) : m_stdout(GetStdHandle(STD_OUTPUT_HANDLE)) {
    if (path.empty()) {
        return;
    }
    // Appending only, and shared every way, so that tests may read, rotate or
    // remove the file while the game writes it.
    m_file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open the log file " + ToUtf8(path) + ": error " +
                                 std::to_string(GetLastError()));
    }
}

CGameLog::~CGameLog() {
    if (m_file != INVALID_HANDLE_VALUE) {
        CloseHandle(m_file);
    }
}

void CGameLog::Write(const char* kind, std::wstring_view text) {
    Write(kind, ToUtf8(text));
}

void CGameLog::Write(const char* kind, std::string_view utf8) {
    const std::string line = UtcTimestamp() + ' ' + kind + ' ' + Escape(utf8) + '\n';
    WriteText(m_stdout, line);
    if (m_file != INVALID_HANDLE_VALUE) {
        WriteText(m_file, line);
    }
}

std::string CGameLog::Escape(std::string_view utf8) {
    std::string escaped;
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}
