#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Text between the bus (UTF-8) and Windows (UTF-16). Not a string of WCHAR:
// Winelib makes WCHAR a 16-bit wchar_t, and the C++ library would then measure
// and copy it with the C library's 32-bit wide functions.
using WideString = std::u16string;

inline const WCHAR* Wide(const WideString& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}
inline WideString WideFrom(const WCHAR* text) {
    return reinterpret_cast<const char16_t*>(text);
}

// A byte that belongs to no well-formed character becomes U+FFFD.
WideString WideFromUtf8(std::string_view text);
// Nullopt for a surrogate without its partner, which no UTF-8 text can hold.
std::optional<std::string> Utf8FromWide(const WCHAR* text, std::size_t length);

// The game's reply as the applet reads it: each character below 256 is the
// byte of that value, the reply ends at a zero or before the first character that has no
// such byte, and at most kReplyLimit characters are kept, as the applet's
// reply buffer holds them with its terminating zero. Sent as UTF-8.
inline constexpr std::size_t kReplyLimit = 8191;
std::string ReplyFromWide(const WCHAR* text, std::size_t length);
