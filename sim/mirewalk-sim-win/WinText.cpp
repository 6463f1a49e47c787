#include "sim/mirewalk-sim-win/WinText.h"

#include <cstdio>

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int wideSize = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wideSize, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::wstring ToWide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int utf8Size = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Size, text.data(), size);
    return text;
}

std::string FormatHresult(HRESULT result) {
    char text[sizeof "0x12345678"];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

void WriteText(HANDLE handle, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written == 0) {
            return;
        }
        text.remove_prefix(written);
    }
}

int ReportFailure(std::string_view message) {
    WriteText(GetStdHandle(STD_ERROR_HANDLE), "mirewalk-sim-win: " + std::string(message) + "\n");
    return 1;
}
