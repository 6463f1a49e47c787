#include "platform/Utf8Prefix.h"

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text.size();
    }
    // text[length] is the first byte left out; a continuation byte there means
    // the character it belongs to would be split.
    std::size_t length = maxBytes;
    while (length > 0 && IsContinuationByte(text[length])) {
        --length;
    }
    return length;
}
