#include "platform/Utf8.h"

namespace {

constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;
constexpr char32_t kLastCodePoint = 0x10FFFF;

// The smallest code point each sequence length may carry; anything below is an
// overlong form.
constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};

} // namespace

bool IsUtf8Continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

std::size_t Utf8SequenceLength(unsigned char lead) {
    return lead < 0x80   ? 1
           : lead < 0xC0 ? 0
           : lead < 0xE0 ? 2
           : lead < 0xF0 ? 3
           : lead < 0xF8 ? 4
                         : 0;
}

std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = Utf8SequenceLength(lead);
    if (length == 0 || text.size() - at < length) {
        return std::nullopt;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!IsUtf8Continuation(byte)) {
            return std::nullopt;
        }
        code = code << 6 | (byte & 0x3F);
    }
    if (code < kSmallestOfLength[length] || code > kLastCodePoint ||
        (code >= kFirstSurrogate && code <= kLastSurrogate)) {
        return std::nullopt;
    }
    at += length;
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    const auto put = [&](char32_t byte) { out += static_cast<char>(byte); };
    if (code < kSmallestOfLength[2]) {
        put(code);
    } else if (code < kSmallestOfLength[3]) {
        put(0xC0 | code >> 6);
        put(0x80 | (code & 0x3F));
    } else if (code < kSmallestOfLength[4]) {
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

std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text.size();
    }
    // text[length] is the first byte left out; a continuation byte there means
    // the character it belongs to would be split.
    std::size_t length = maxBytes;
    while (length > 0 && IsUtf8Continuation(static_cast<unsigned char>(text[length]))) {
        --length;
    }
    return length;
}

std::size_t Utf8WholeLength(std::string_view text) {
    std::size_t start = text.size();
    while (start > 0 && IsUtf8Continuation(static_cast<unsigned char>(text[start - 1]))) {
        --start;
    }
    if (start == 0) {
        return text.size();
    }
    const std::size_t lead = start - 1;
    const std::size_t expected = Utf8SequenceLength(static_cast<unsigned char>(text[lead]));
    return text.size() - lead < expected ? lead : text.size();
}
