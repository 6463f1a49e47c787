#include "wine/splicebox-bridge/WideText.h"

#include "platform/TextCodec.h"
#include "platform/Utf8.h"

#include <cstring>

namespace {

// The largest code unit that converts to a byte of the same value.
constexpr WCHAR kLastByteCharacter = 0xFF;

} // namespace

// UTF-16 lies in memory in little-endian order on every machine Wine runs on.
WideString WideFromUtf8(std::string_view text) {
    const std::string bytes = Utf8ToUtf16Le(text);
    WideString wide(bytes.size() / sizeof(char16_t), 0);
    std::memcpy(wide.data(), bytes.data(), bytes.size());
    return wide;
}

std::optional<std::string> Utf8FromWide(const WCHAR* text, std::size_t length) {
    return Utf16LeToUtf8(std::string_view(reinterpret_cast<const char*>(text), 2 * length));
}

std::string ReplyFromWide(const WCHAR* text, std::size_t length) {
    std::string out;
    for (std::size_t i = 0;
         i < length && i < kReplyLimit && text[i] != 0 && text[i] <= kLastByteCharacter; ++i) {
        AppendUtf8(out, text[i]);
    }
    return out;
}
