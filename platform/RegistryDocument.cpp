#include "platform/RegistryDocument.h"

#include "platform/ByteReader.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
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

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
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

class CParser {
public:
    explicit CParser(std::string_view text) : m_lines(SplitLines(text)) {}

    std::optional<std::vector<RegistryKeyEntry>> Run() {
        if (!ReadHeader()) {
            return std::nullopt;
        }
        for (; m_index < m_lines.size(); ++m_index) {
            const auto line = TrimTrailingBlanks(m_lines[m_index]);
            const bool ok = line.empty() || (line.front() == '[' ? ReadKeyLine(line) : ReadValue());
            if (!ok) {
                return std::nullopt;
            }
        }
        return std::move(m_keys);
    }

private:
    bool ReadHeader() {
        while (m_index < m_lines.size() && TrimTrailingBlanks(m_lines[m_index]).empty()) {
            ++m_index;
        }
        return m_index < m_lines.size() && TrimTrailingBlanks(m_lines[m_index++]) == kHeader;
    }

    bool ReadKeyLine(std::string_view line) {
        if (line.size() < 3 || line.back() != ']' || line[1] == '-') {
            return false;
        }
        const auto path = line.substr(1, line.size() - 2);
        const auto same = [&](const RegistryKeyEntry& k) {
            return RegistryNamesEqual(k.path, path);
        };
        const auto found = std::find_if(m_keys.begin(), m_keys.end(), same);
        if (found != m_keys.end()) {
            m_current = static_cast<std::size_t>(found - m_keys.begin());
        } else {
            m_keys.push_back({std::string(path), {}});
            m_current = m_keys.size() - 1;
        }
        return true;
    }

    bool ReadValue() {
        if (m_current == kNoKey) {
            return false;
        }
        const std::size_t first = m_index;
        std::string_view line = TrimTrailingBlanks(m_lines[m_index]);
        RegistryValue value;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto name = ParseQuoted(line, kMaxRegistryNameLength);
            if (!name) {
                return false;
            }
            value.name = std::move(*name);
        }
        if (line.empty() || line.front() != '=' || !ReadData(line.substr(1), value)) {
            return false;
        }
        for (std::size_t i = first; i <= m_index; ++i) {
            value.source.append(m_lines[i]).append(i < m_index ? "\n" : "");
        }
        Store(std::move(value));
        return true;
    }

    bool ReadData(std::string_view data, RegistryValue& value) {
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
        return ReadHexData(data, value);
    }

    // hex:..., or hex(N):... for type N; a line ending in a backslash goes on
    // in the next line.
    bool ReadHexData(std::string_view data, RegistryValue& value) {
        if (StartsWithName(data, "hex:")) {
            value.type = kRegBinary;
            data.remove_prefix(4);
        } else if (StartsWithName(data, "hex(")) {
            const auto close = data.find("):");
            const auto type = ParseHexNumber(data.substr(4, close - 4), 8);
            if (close == std::string_view::npos || !type) {
                return false;
            }
            value.type = *type;
            data.remove_prefix(close + 2);
        } else {
            return false;
        }
        std::string list;
        while (!data.empty() && data.back() == '\\') {
            list.append(data.substr(0, data.size() - 1));
            if (++m_index == m_lines.size()) {
                return false;
            }
            data = TrimTrailingBlanks(TrimLeadingBlanks(m_lines[m_index]));
        }
        list.append(data);
        auto bytes = ParseHexList(list);
        if (!bytes) {
            return false;
        }
        value.data = std::move(*bytes);
        return true;
    }

    // A name given twice in one key: the later line wins, as on import.
    void Store(RegistryValue value) {
        auto& values = m_keys[m_current].values;
        const auto same = [&](const RegistryValue& v) {
            return RegistryNamesEqual(v.name, value.name);
        };
        const auto found = std::find_if(values.begin(), values.end(), same);
        if (found != values.end()) {
            *found = std::move(value);
        } else {
            values.push_back(std::move(value));
        }
    }

    static constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);

    std::vector<std::string_view> m_lines;
    std::size_t m_index = 0;
    std::vector<RegistryKeyEntry> m_keys;
    std::size_t m_current = kNoKey;
};

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

std::string FormatHex(std::string line, const std::vector<std::uint8_t>& data) {
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        line += byte;
        if (i + 1 < data.size()) {
            line += ',';
            if (line.size() > kHexLineWidth - 3) {
                out += line + "\\\n";
                line = kContinuationIndent;
            }
        }
    }
    return out + line;
}

std::string FormatValue(const RegistryValue& value) {
    std::string line = value.name.empty() ? "@=" : Quote(value.name) + "=";
    if (IsPlainString(value)) {
        const auto* text = reinterpret_cast<const char*>(value.data.data());
        return line + Quote(std::string_view(text, value.data.size() - 1));
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x", *CByteReader(value.data).U32());
        return line + number;
    }
    if (value.type == kRegBinary) {
        return FormatHex(line + "hex:", value.data);
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    return FormatHex(line + prefix, value.data);
}

template <typename Keys> auto FindKeyIn(Keys& keys, std::string_view path) -> decltype(&keys[0]) {
    for (auto& key : keys) {
        if (RegistryNamesEqual(key.path, path)) {
            return &key;
        }
    }
    return nullptr;
}

} // namespace

bool RegistryNamesEqual(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::optional<CRegistryDocument> CRegistryDocument::Parse(std::string_view text) {
    if (text.size() > kMaxRegistryFileSize) {
        return std::nullopt;
    }
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    auto keys = CParser(text).Run();
    if (!keys) {
        return std::nullopt;
    }
    CRegistryDocument document;
    document.m_keys = std::move(*keys);
    return document;
}

std::string CRegistryDocument::Serialise() const {
    std::string out = std::string(kHeader) + "\n\n";
    for (const auto& key : m_keys) {
        out += "[" + key.path + "]\n";
        for (const auto& value : key.values) {
            out += (value.source.empty() ? FormatValue(value) : value.source) + "\n";
        }
        out += "\n";
    }
    return out;
}

bool CRegistryDocument::HasKey(std::string_view path) const {
    return std::any_of(m_keys.begin(), m_keys.end(), [&](const RegistryKeyEntry& key) {
        return RegistryNamesEqual(key.path, path) ||
               (key.path.size() > path.size() && key.path[path.size()] == '\\' &&
                StartsWithName(key.path, path));
    });
}

const RegistryValue* CRegistryDocument::FindValue(std::string_view keyPath,
                                                  std::string_view name) const {
    const auto* key = FindKey(keyPath);
    if (key == nullptr) {
        return nullptr;
    }
    for (const auto& value : key->values) {
        if (RegistryNamesEqual(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

bool CRegistryDocument::AddKey(std::string_view path) {
    if (FindKey(path) != nullptr) {
        return false;
    }
    m_keys.push_back({std::string(path), {}});
    return true;
}

void CRegistryDocument::SetValue(std::string_view keyPath, std::string_view name,
                                 std::uint32_t type, std::vector<std::uint8_t> data) {
    AddKey(keyPath);
    auto& values = FindKey(keyPath)->values;
    RegistryValue value{std::string(name), type, std::move(data), {}};
    for (auto& existing : values) {
        if (RegistryNamesEqual(existing.name, name)) {
            value.name = existing.name;
            existing = std::move(value);
            return;
        }
    }
    values.push_back(std::move(value));
}

RegistryKeyEntry* CRegistryDocument::FindKey(std::string_view path) {
    return FindKeyIn(m_keys, path);
}

const RegistryKeyEntry* CRegistryDocument::FindKey(std::string_view path) const {
    return FindKeyIn(m_keys, path);
}
