#include "platform/Windows1252.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <array>

namespace {

constexpr unsigned char kFirstHigh = 0x80;
constexpr unsigned char kFirstLatin1 = 0xA0;
constexpr char kDefaultCharacter = '?';

// Unicode code points of the bytes 0x80 to 0x9F; every other byte equals its
// code point.
constexpr std::array<char32_t, kFirstLatin1 - kFirstHigh> kHighCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Widen(unsigned char byte) {
    return byte >= kFirstHigh && byte < kFirstLatin1 ? kHighCharacters[byte - kFirstHigh] : byte;
}

std::optional<char> Narrow(char32_t code) {
    if (code < kFirstHigh || (code >= kFirstLatin1 && code <= 0xFF)) {
        return static_cast<char>(code);
    }
    const auto found = std::find(kHighCharacters.begin(), kHighCharacters.end(), code);
    if (found == kHighCharacters.end()) {
        return std::nullopt;
    }
    return static_cast<char>(kFirstHigh + (found - kHighCharacters.begin()));
}

bool IsHighSurrogate(std::uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        AppendUtf8(out, Widen(static_cast<unsigned char>(c)));
    }
    return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto code = NextUtf8(text, at);
        const auto byte = code ? Narrow(*code) : std::nullopt;
        if (!byte) {
            return std::nullopt;
        }
        out += *byte;
    }
    return out;
}

std::string WideToWindows1252(std::span<const std::uint16_t> text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        }
        out += Narrow(text[i]).value_or(kDefaultCharacter);
    }
    return out;
}
