#include "platform/RegistryValueText.h"

#include "platform/ByteReader.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// Hex lists are wrapped so that no line passes this column, as exports do.
constexpr std::size_t kHexLineWidth = 76;
constexpr std::string_view kContinuationIndent = "  ";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithName(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           RegistryNamesEqual(text.substr(0, prefix.size()), prefix);
}

std::optional<unsigned> HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    const char lower = LowerAscii(c);
    if (lower >= 'a' && lower <= 'f')
        return static_cast<unsigned>(lower - 'a' + 10);
    return std::nullopt;
}

// 1 to `maxDigits` hex digits and nothing else.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        const auto digit = HexDigit(c);
        if (!digit) {
            return std::nullopt;
        }
        value = value << 4 | *digit;
    }
    return value;
}

// A double-quoted text with \\ and \" escapes at the start of `text`; on success
// `text` is left after the closing quote.
std::optional<std::string> ParseQuoted(std::string_view& text, std::size_t maxLength) {
    if (text.empty() || text.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (i + 1 == text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                return std::nullopt;
            }
            c = text[++i];
        }
        if (out.size() == maxLength) {
            return std::nullopt;
        }
        out += c;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ParseHexList(std::string_view list) {
    std::vector<std::uint8_t> bytes;
    std::string compact;
    std::copy_if(list.begin(), list.end(), std::back_inserter(compact),
                 [](char c) { return c != ' ' && c != '\t'; });
    std::string_view rest = compact;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const auto byte = ParseHexNumber(rest.substr(0, comma), 2);
        if (!byte || bytes.size() == kMaxRegistryValueSize) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
        if (rest.empty()) {
            return std::nullopt; // a list may not end in a comma
        }
    }
    return bytes;
}

// The string types whose hex lists version 5 writes in UTF-16 LE.
bool IsUnicodeInVersion5(std::uint32_t type, RegistryVersion version) {
    return version == RegistryVersion::Version5 &&
           (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz);
}

std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::optional<std::vector<std::uint8_t>> AsBytes(const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(text->begin(), text->end());
}

// hex:... or hex(N):... for type N.
bool ParseHexData(std::string_view data, RegistryVersion version, RegistryValue& value) {
    if (StartsWithName(data, "hex:")) {
        value.type = kRegBinary;
        data.remove_prefix(4);
    } else {
        const auto close = data.find("):");
        const auto type = ParseHexNumber(data.substr(4, close - 4), 8);
        if (close == std::string_view::npos || !type) {
            return false;
        }
        value.type = *type;
        data.remove_prefix(close + 2);
    }
    auto bytes = ParseHexList(data);
    if (bytes && IsUnicodeInVersion5(value.type, version)) {
        bytes = AsBytes(Utf16LeToUtf8(AsText(*bytes)));
    }
    if (!bytes) {
        return false;
    }
    value.data = std::move(*bytes);
    return true;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + '"';
}

// A string a quoted text can carry: one terminating zero and no line breaks.
bool IsPlainString(const RegistryValue& value) {
    if (value.type != kRegSz || value.data.empty() || value.data.back() != 0) {
        return false;
    }
    return std::none_of(value.data.begin(), value.data.end() - 1,
                        [](std::uint8_t b) { return b == 0 || b == '\n' || b == '\r'; });
}

std::string FormatHex(std::string line, const std::vector<std::uint8_t>& data,
                      std::string_view lineEnd) {
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        line += byte;
        if (i + 1 < data.size()) {
            line += ',';
            if (line.size() > kHexLineWidth - 3) {
                out.append(line).append("\\").append(lineEnd);
                line = kContinuationIndent;
            }
        }
    }
    return out + line;
}

} // namespace

std::optional<std::string> ParseValueName(std::string_view& line) {
    std::optional<std::string> name;
    if (!line.empty() && line.front() == '@') {
        line.remove_prefix(1);
        name.emplace();
    } else {
        name = ParseQuoted(line, kMaxRegistryNameLength);
    }
    if (!name || line.empty() || line.front() != '=') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    return name;
}

bool IsHexData(std::string_view data) {
    return StartsWithName(data, "hex:") || StartsWithName(data, "hex(");
}

bool ParseValueData(std::string_view data, RegistryVersion version, RegistryValue& value) {
    if (!data.empty() && data.front() == '"') {
        auto text = ParseQuoted(data, kMaxRegistryValueSize - 1);
        if (!text || !data.empty()) {
            return false;
        }
        value.type = kRegSz;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
        return true;
    }
    if (StartsWithName(data, "dword:")) {
        const auto number = ParseHexNumber(data.substr(6), 8);
        if (!number) {
            return false;
        }
        value.type = kRegDword;
        value.data.resize(4);
        StoreU32(value.data.data(), *number);
        return true;
    }
    return IsHexData(data) && ParseHexData(data, version, value);
}

std::optional<std::string> FormatValue(const RegistryValue& value, RegistryVersion version,
                                       std::string_view lineEnd) {
    std::string line = value.name.empty() ? "@=" : Quote(value.name) + "=";
    if (IsPlainString(value)) {
        return line + Quote(AsText(value.data).substr(0, value.data.size() - 1));
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x", *CByteReader(value.data).U32());
        return line + number;
    }
    if (value.type == kRegBinary) {
        return FormatHex(line + "hex:", value.data, lineEnd);
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    if (!IsUnicodeInVersion5(value.type, version)) {
        return FormatHex(line + prefix, value.data, lineEnd);
    }
    if (!IsValidUtf8(AsText(value.data))) {
        return std::nullopt;
    }
    const auto wide = Utf8ToUtf16Le(AsText(value.data));
    return FormatHex(line + prefix, {wide.begin(), wide.end()}, lineEnd);
}

bool RegistryNamesEqual(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}
