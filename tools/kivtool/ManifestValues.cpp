#include "tools/kivtool/ManifestValues.h"

#include "platform/Windows1252.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr char kQuote = '"';
constexpr char kEscape = '\\';
// \xHH: two hex digits.
constexpr std::size_t kHexDigits = 2;

// Bytes that no plain value or here-document shows as they are: controls
// (line breaks and tabs included), and the bytes Windows-1252 leaves undefined,
// which would read as invisible C1 controls.
bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool FitsPlainForm(std::string_view text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return NeedsEscape(static_cast<unsigned char>(c)); }) &&
           (text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back())));
}

// Lines of printable text; tabs and blanks at either end are kept verbatim.
bool FitsHereDocument(std::string_view text) {
    return text.find('\n') != std::string_view::npos &&
           std::none_of(text.begin(), text.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte != '\n' && byte != '\t' && NeedsEscape(byte);
           });
}

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && IsBlank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

// END, or END2, END3, ... when a line of the text would end it early.
std::string EndMarker(std::string_view text) {
    std::string marker = "END";
    for (int n = 2;; ++n) {
        bool clash = false;
        for (std::size_t at = 0; at <= text.size() && !clash;) {
            const auto end = std::min(text.find('\n', at), text.size());
            clash = Trimmed(text.substr(at, end - at)) == marker;
            at = end + 1;
        }
        if (!clash) {
            return marker;
        }
        marker = "END" + std::to_string(n);
    }
}

std::string Escaped(std::string_view windows1252) {
    std::string out(1, kQuote);
    for (const char c : windows1252) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == kQuote || c == kEscape) {
            out += {kEscape, c};
        } else if (c == '\r' || c == '\n' || c == '\t') {
            out += {kEscape, c == '\r' ? 'r' : c == '\n' ? 'n' : 't'};
        } else if (NeedsEscape(byte)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", unsigned{byte});
            out += hex;
        } else {
            out += Windows1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return out + kQuote;
}

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

// The character an escape stands for, as UTF-8; `at` is past the backslash and
// moves past the escape.
std::optional<std::string> Unescape(std::string_view body, std::size_t& at, std::string& error) {
    if (at == body.size()) {
        error = "an escape is cut short";
        return std::nullopt;
    }
    const char kind = body[at++];
    switch (kind) {
    case kQuote:
    case kEscape:
        return std::string(1, kind);
    case 'r':
        return "\r";
    case 'n':
        return "\n";
    case 't':
        return "\t";
    case 'x':
        break;
    default:
        error = std::string("\"\\") + kind + "\" is no escape";
        return std::nullopt;
    }
    if (body.size() - at < kHexDigits) {
        error = "an escape is cut short";
        return std::nullopt;
    }
    const auto high = HexDigit(body[at]);
    const auto low = HexDigit(body[at + 1]);
    if (!high || !low) {
        error = "\"\\x\" needs two hex digits";
        return std::nullopt;
    }
    at += kHexDigits;
    const char byte = static_cast<char>(*high << 4 | *low);
    return byte == '\0' ? std::string(1, '\0') : Windows1252ToUtf8(std::string_view(&byte, 1));
}

} // namespace

std::optional<std::string> UnescapeValue(std::string_view quoted, std::string& error) {
    if (quoted.size() < 2 || quoted.front() != kQuote || quoted.back() != kQuote) {
        error = "the text of \":=\" stands in double quotes";
        return std::nullopt;
    }
    const std::string_view body = quoted.substr(1, quoted.size() - 2);
    std::string text;
    for (std::size_t at = 0; at < body.size();) {
        const char c = body[at++];
        if (c == kQuote) {
            error = "a double quote inside the text needs a backslash";
            return std::nullopt;
        }
        if (c != kEscape) {
            text += c;
            continue;
        }
        const auto character = Unescape(body, at, error);
        if (!character) {
            return std::nullopt;
        }
        text += *character;
    }
    return text;
}

std::string ManifestEntry(std::string_view key, std::string_view windows1252) {
    const std::string name(key);
    if (FitsPlainForm(windows1252)) {
        return name +
               (windows1252.empty() ? " =\n" : " = " + Windows1252ToUtf8(windows1252) + "\n");
    }
    if (FitsHereDocument(windows1252)) {
        const std::string marker = EndMarker(windows1252);
        return name + " <<" + marker + "\n" + Windows1252ToUtf8(windows1252) + "\n" + marker + "\n";
    }
    return name + " := " + Escaped(windows1252) + "\n";
}
