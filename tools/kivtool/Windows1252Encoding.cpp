#include "tools/kivtool/Windows1252Encoding.h"

#include "platform/TextCodec.h"

#include <map>

namespace {

// The inverse of the program's one Windows-1252 table, so the two directions
// cannot disagree.
const std::map<std::string, char>& Inverse() {
    static const std::map<std::string, char> inverse = [] {
        std::map<std::string, char> table;
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            table.emplace(Windows1252ToUtf8(std::string_view(&c, 1)), c);
        }
        return table;
    }();
    return inverse;
}

std::size_t SequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
}

} // namespace

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
        if (length == 0 || at + length > text.size()) {
            return std::nullopt;
        }
        const auto found = Inverse().find(std::string(text.substr(at, length)));
        if (found == Inverse().end()) {
            return std::nullopt;
        }
        out += found->second;
        at += length;
    }
    return out;
}
