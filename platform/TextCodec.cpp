#include "platform/TextCodec.h"

#include "platform/Utf8.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kFirstSurrogate = 0xD800;
constexpr std::uint32_t kFirstLowSurrogate = 0xDC00;
constexpr std::uint32_t kLastSurrogate = 0xDFFF;
constexpr std::uint32_t kFirstSupplementary = 0x10000;
constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

bool IsSurrogate(std::uint32_t code) {
    return code >= kFirstSurrogate && code <= kLastSurrogate;
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

} // namespace

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
