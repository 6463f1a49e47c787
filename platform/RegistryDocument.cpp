#include "platform/RegistryDocument.h"

#include "platform/RegistryValueText.h"
#include "platform/TextCodec.h"

#include <algorithm>

namespace {

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";

// "\r\n" or "\n"; empty for the last line of a file that lacks one.
std::string_view LineEndOf(std::string_view source) {
    return source.ends_with("\r\n") ? "\r\n" : source.ends_with('\n') ? "\n" : "";
}

struct Line {
    std::string_view text;  // without its line end
    std::string_view whole; // with it
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto whole = text.substr(0, end == std::string_view::npos ? end : end + 1);
        text.remove_prefix(whole.size());
        lines.push_back({whole.substr(0, whole.size() - LineEndOf(whole).size()), whole});
    }
    return lines;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    text = TrimTrailingBlanks(text);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

std::optional<std::string> DecodeText(std::string_view bytes, RegistryEncoding& encoding) {
    if (bytes.starts_with(kUtf16LeByteOrderMark)) {
        encoding = RegistryEncoding::Utf16LeWithBom;
        return Utf16LeToUtf8(bytes.substr(kUtf16LeByteOrderMark.size()));
    }
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        encoding = RegistryEncoding::Utf8WithBom;
        return std::string(bytes.substr(kUtf8ByteOrderMark.size()));
    }
    encoding = RegistryEncoding::Utf8;
    return std::string(bytes);
}

class CParser {
public:
    explicit CParser(std::string_view text) : m_lines(SplitLines(text)) {}

    bool Run() {
        while (m_index < m_lines.size() && ReadLineWithoutData()) {
        }
        if (m_index == m_lines.size() || !ReadHeader()) {
            return false;
        }
        while (m_index < m_lines.size()) {
            const auto text = TrimTrailingBlanks(m_lines[m_index].text);
            const bool ok = ReadLineWithoutData() ||
                            (text.front() == '[' ? ReadKeyLine(text) : ReadValue(text));
            if (!ok) {
                return false;
            }
        }
        return true;
    }

    std::vector<RegistryEntry> m_entries;
    RegistryVersion m_version = RegistryVersion::Regedit4;
    std::string m_lineEnd;

private:
    // A blank line or a comment.
    bool ReadLineWithoutData() {
        const auto text = TrimBlanks(m_lines[m_index].text);
        if (!text.empty() && text.front() != ';') {
            return false;
        }
        Add(text.empty() ? RegistryEntry::Kind::Blank : RegistryEntry::Kind::Comment);
        return true;
    }

    bool ReadHeader() {
        const auto text = TrimTrailingBlanks(m_lines[m_index].text);
        if (text != kRegedit4Header && text != kVersion5Header) {
            return false;
        }
        m_version = text == kVersion5Header ? RegistryVersion::Version5 : RegistryVersion::Regedit4;
        m_lineEnd = LineEndOf(m_lines[m_index].whole);
        if (m_lineEnd.empty()) {
            m_lineEnd = "\n";
        }
        Add(RegistryEntry::Kind::Header);
        return true;
    }

    // "[-Key]" deletes a key on import: no data, refused.
    bool ReadKeyLine(std::string_view text) {
        if (text.size() < 3 || text.back() != ']' || text[1] == '-') {
            return false;
        }
        m_keyPath = text.substr(1, text.size() - 2);
        Add(RegistryEntry::Kind::Key).keyPath = m_keyPath;
        return true;
    }

    // "Name"=- deletes a value on import: it is no data form, so it is refused.
    bool ReadValue(std::string_view text) {
        const std::size_t first = m_index;
        auto name = ParseValueName(text);
        if (m_keyPath.empty() || !name) {
            return false;
        }
        std::string data(text);
        while (IsHexData(data) && data.ends_with('\\')) {
            data.pop_back();
            if (++m_index == m_lines.size()) {
                return false;
            }
            data.append(TrimBlanks(m_lines[m_index].text));
        }
        RegistryValue value;
        value.name = std::move(*name);
        if (!ParseValueData(data, m_version, value)) {
            return false;
        }
        Add(RegistryEntry::Kind::Value, first).value = std::move(value);
        return true;
    }

    // An entry of the lines from `first` to the current one, which are then read.
    RegistryEntry& Add(RegistryEntry::Kind kind, std::size_t first) {
        const auto begin = m_lines[first].whole.data();
        const auto& last = m_lines[m_index].whole;
        m_entries.push_back({kind, {}, {}, std::string(begin, last.data() + last.size())});
        ++m_index;
        return m_entries.back();
    }

    RegistryEntry& Add(RegistryEntry::Kind kind) { return Add(kind, m_index); }

    std::vector<Line> m_lines;
    std::size_t m_index = 0;
    std::string m_keyPath; // the key of the values that follow; empty before the first
};

bool IsBlank(const RegistryEntry& entry) {
    return entry.kind == RegistryEntry::Kind::Blank;
}

template <typename Entries>
auto FindValueIn(Entries& entries, std::string_view keyPath, std::string_view name)
    -> decltype(&entries[0]) {
    decltype(&entries[0]) found = nullptr;
    bool inKey = false;
    for (auto& entry : entries) {
        if (entry.kind == RegistryEntry::Kind::Key) {
            inKey = RegistryNamesEqual(entry.keyPath, keyPath);
        } else if (inKey && entry.kind == RegistryEntry::Kind::Value &&
                   RegistryNamesEqual(entry.value.name, name)) {
            found = &entry;
        }
    }
    return found;
}

} // namespace

CRegistryDocument::CRegistryDocument() {
    m_entries.push_back({RegistryEntry::Kind::Header, {}, {}, std::string(kRegedit4Header) + "\n"});
}

std::optional<CRegistryDocument> CRegistryDocument::Parse(std::string_view bytes) {
    if (bytes.size() > kMaxRegistryFileSize) {
        return std::nullopt;
    }
    CRegistryDocument document;
    const auto text = DecodeText(bytes, document.m_encoding);
    if (!text) {
        return std::nullopt;
    }
    CParser parser(*text);
    if (!parser.Run()) {
        return std::nullopt;
    }
    document.m_version = parser.m_version;
    // Version 5 text is Unicode; a UTF-8 file of it that is not UTF-8 is damaged.
    if (document.m_version == RegistryVersion::Version5 && !IsValidUtf8(*text)) {
        return std::nullopt;
    }
    document.m_entries = std::move(parser.m_entries);
    document.m_lineEnd = std::move(parser.m_lineEnd);
    return document;
}

std::string CRegistryDocument::Serialise() const {
    std::string text;
    for (const auto& entry : m_entries) {
        text += entry.source;
    }
    switch (m_encoding) {
    case RegistryEncoding::Utf8WithBom:
        return std::string(kUtf8ByteOrderMark) + text;
    case RegistryEncoding::Utf16LeWithBom:
        return std::string(kUtf16LeByteOrderMark) + Utf8ToUtf16Le(text);
    case RegistryEncoding::Utf8:
        break;
    }
    return text;
}

bool CRegistryDocument::HasKey(std::string_view path) const {
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const RegistryEntry& entry) {
        const std::string_view key = entry.keyPath;
        return entry.kind == RegistryEntry::Kind::Key &&
               (RegistryNamesEqual(key, path) ||
                (key.size() > path.size() && key[path.size()] == '\\' &&
                 RegistryNamesEqual(key.substr(0, path.size()), path)));
    });
}

const RegistryValue* CRegistryDocument::FindValue(std::string_view keyPath,
                                                  std::string_view name) const {
    const auto* entry = FindValueIn(m_entries, keyPath, name);
    return entry != nullptr ? &entry->value : nullptr;
}

bool CRegistryDocument::AddKey(std::string_view path) {
    const bool named = ValueInsertionPoint(path).has_value();
    if (named) {
        return false;
    }
    const RegistryEntry blank{RegistryEntry::Kind::Blank, {}, {}, m_lineEnd};
    if (!IsBlank(m_entries.back())) {
        Insert(m_entries.size(), blank);
    }
    Insert(m_entries.size(), {RegistryEntry::Kind::Key,
                              std::string(path),
                              {},
                              "[" + std::string(path) + "]" + m_lineEnd});
    Insert(m_entries.size(), blank);
    return true;
}

bool CRegistryDocument::SetValue(std::string_view keyPath, std::string_view name,
                                 std::uint32_t type, std::vector<std::uint8_t> data) {
    auto* existing = FindValueEntry(keyPath, name);
    RegistryValue value{existing != nullptr ? existing->value.name : std::string(name), type,
                        std::move(data)};
    const auto line = FormatValue(value, m_version, m_lineEnd);
    const bool unicode =
        m_version == RegistryVersion::Version5 || m_encoding == RegistryEncoding::Utf16LeWithBom;
    if (!line || (unicode && !IsValidUtf8(*line))) {
        return false;
    }
    if (existing != nullptr) {
        existing->source = *line + std::string(LineEndOf(existing->source));
        existing->value = std::move(value);
        return true;
    }
    AddKey(keyPath);
    Insert(*ValueInsertionPoint(keyPath),
           {RegistryEntry::Kind::Value, {}, std::move(value), *line + m_lineEnd});
    return true;
}

RegistryEntry* CRegistryDocument::FindValueEntry(std::string_view keyPath, std::string_view name) {
    return FindValueIn(m_entries, keyPath, name);
}

std::optional<std::size_t> CRegistryDocument::ValueInsertionPoint(std::string_view keyPath) const {
    std::optional<std::size_t> at;
    bool inKey = false;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const auto& entry = m_entries[i];
        if (entry.kind == RegistryEntry::Kind::Key) {
            inKey = RegistryNamesEqual(entry.keyPath, keyPath);
        }
        if (inKey &&
            (entry.kind == RegistryEntry::Kind::Key || entry.kind == RegistryEntry::Kind::Value)) {
            at = i + 1;
        }
    }
    return at;
}

// A file's last line may lack its line end; a line written after it needs one.
void CRegistryDocument::Insert(std::size_t at, RegistryEntry entry) {
    if (at > 0 && LineEndOf(m_entries[at - 1].source).empty()) {
        m_entries[at - 1].source += m_lineEnd;
    }
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}
