#include "wine/splicebox-bridge/WideText.h"

#include "platform/TextCodec.h"
#include "platform/Utf8.h"

#include <cstring>

namespace {

// The largest code unit that converts to a byte of the same value.
constexpr WCHAR kLastByteCharacter = 0xFF;
constexpr char32_t kReplacement = 0xFFFD;

} // namespace

WideString WideFromUtf8(std::string_view text) {
    const std::string bytes = Utf8ToUtf16Le(text);
    WideString wide(bytes.size() / 2, 0);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return wide;
}

std::string Utf8FromWide(const WCHAR* text, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        const char32_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool lowNext = i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (high && lowNext) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00));
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::string ReplyFromWide(const WCHAR* text, std::size_t length) {
    std::string out;
    for (std::size_t i = 0;
         i < length && i < kReplyLimit && text[i] != 0 && text[i] <= kLastByteCharacter; ++i) {
        AppendUtf8(out, text[i]);
    }
    return out;
}
