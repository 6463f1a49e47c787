#pragma once

#include "platform/RegistryValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How a file's bytes encode its text. Registry editors write version 5 files
// in UTF-16 LE with a byte-order mark; people write UTF-8, with or without one.
enum class RegistryEncoding { Utf8, Utf8WithBom, Utf16LeWithBom };

// One part of a registry file: its header line, a key line, a value with its
// continuation lines, a blank line or a comment (a line that starts with ";").
struct RegistryEntry {
    enum class Kind { Header, Key, Value, Blank, Comment };
    Kind kind = Kind::Blank;
    std::string keyPath; // a key line's full path from the root, e.g. "HKEY_CURRENT_USER\Software"
    RegistryValue value; // a value line's value
    // The lines as UTF-8 text, line ends included: as read, or as written here.
    std::string source;
};

// One registry export file in memory, kept part by part, so that writing it
// back changes only the values set here: comments, blank lines and every other
// value keep their bytes and line ends, and the file its header, encoding and
// byte-order mark. Key paths and value names compare ignoring ASCII case; the
// case first written is kept.
class CRegistryDocument {
public:
    // What a new file holds: the REGEDIT4 header, in UTF-8 with "\n" line ends.
    CRegistryDocument();

    // Parses a whole file; nullopt when any line is not of the format. Lines that
    // delete a key or a value on import ("[-Key]", "Name"=-) are not data and
    // are refused too.
    static std::optional<CRegistryDocument> Parse(std::string_view bytes);
    std::string Serialise() const;

    // A key exists when it is named in the file or has a subkey there.
    bool HasKey(std::string_view path) const;
    // A name given twice in one key reads as its last line, as on import.
    const RegistryValue* FindValue(std::string_view keyPath, std::string_view name) const;

    // Adds the key at the end when it is not named in the file; true when it was
    // added. The store passes UTF-8 paths only.
    bool AddKey(std::string_view path);
    // Replaces the value where it stands, or adds it after the key's last value
    // (adding the key if needed). False, and nothing changed, when the value
    // cannot be written in this file's form: a file whose text is Unicode (version
    // 5, or UTF-16) takes only UTF-8 names and strings.
    bool SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                  std::vector<std::uint8_t> data);

private:
    RegistryEntry* FindValueEntry(std::string_view keyPath, std::string_view name);
    // Where a new value of the key goes: after its last value, or after its key
    // line when it has none; nullopt when the key is not named in the file.
    std::optional<std::size_t> ValueInsertionPoint(std::string_view keyPath) const;
    void Insert(std::size_t at, RegistryEntry entry);

    std::vector<RegistryEntry> m_entries;
    RegistryVersion m_version = RegistryVersion::Regedit4;
    RegistryEncoding m_encoding = RegistryEncoding::Utf8;
    // The header line's own line end, used for every line written here.
    std::string m_lineEnd = "\n";
};
