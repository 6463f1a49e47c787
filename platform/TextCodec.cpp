#include "platform/TextCodec.h"

#include <cstdint>

namespace {

// Unicode code points of the bytes 0x80 to 0x9F; the rest equal their byte.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::uint32_t kFirstSurrogate = 0xD800;
constexpr std::uint32_t kFirstLowSurrogate = 0xDC00;
constexpr std::uint32_t kLastSurrogate = 0xDFFF;
constexpr std::uint32_t kFirstSupplementary = 0x10000;
constexpr std::uint32_t kLastCodePoint = 0x10FFFF;
constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

bool IsSurrogate(std::uint32_t code) {
    return code >= kFirstSurrogate && code <= kLastSurrogate;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    const auto put = [&](std::uint32_t byte) { out += static_cast<char>(byte); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | code >> 6);
        put(0x80 | (code & 0x3F));
    } else if (code < kFirstSupplementary) {
        put(0xE0 | code >> 12);
        put(0x80 | (code >> 6 & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | code >> 18);
        put(0x80 | (code >> 12 & 0x3F));
        put(0x80 | (code >> 6 & 0x3F));
        put(0x80 | (code & 0x3F));
    }
}

void AppendUtf16Le(std::string& out, std::uint32_t code) {
    const auto put = [&](std::uint32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    if (code < kFirstSupplementary) {
        put(code);
        return;
    }
    code -= kFirstSupplementary;
    put(kFirstSurrogate + (code >> 10));
    put(kFirstLowSurrogate + (code & 0x3FF));
}

// The code point that starts at `text[at]`, `at` moved past it; nullopt when
// the bytes there are not a well-formed UTF-8 character.
std::optional<std::uint32_t> NextUtf8(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<std::uint8_t>(text[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() - at < length) {
        return std::nullopt;
    }
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<std::uint8_t>(text[at + i]);
        if ((byte & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = code << 6 | (byte & 0x3F);
    }
    // The shortest form only: a 3-byte form below U+0800, a 4-byte one below
    // U+10000.
    const std::uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : kFirstSupplementary;
    if (code < smallest || code > kLastCodePoint || IsSurrogate(code)) {
        return std::nullopt;
    }
    at += length;
    return code;
}

} // namespace

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (!NextUtf8(text, at)) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> Utf16LeToUtf8(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i]) |
                                          static_cast<std::uint8_t>(bytes[i + 1]) << 8);
    };
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (IsSurrogate(code)) {
            const bool paired = code < kFirstLowSurrogate && i + 3 < bytes.size() &&
                                unit(i + 2) >= kFirstLowSurrogate && unit(i + 2) <= kLastSurrogate;
            if (!paired) {
                return std::nullopt;
            }
            i += 2;
            code = kFirstSupplementary + ((code - kFirstSurrogate) << 10) +
                   (unit(i) - kFirstLowSurrogate);
        }
        AppendUtf8(out, code);
    }
    return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(2 * text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto code = NextUtf8(text, at);
        if (!code) {
            ++at;
        }
        AppendUtf16Le(out, code.value_or(kReplacementCharacter));
    }
    return out;
}
