#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Value types as the registry numbers them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Everything the store reads is held in memory at once and re-read on every
// access; the game's settings are a few kilobytes, so a file past this size is
// not a registry file of ours and is refused rather than loaded.
inline constexpr std::size_t kMaxRegistryFileSize = 16 * 1024 * 1024;
// The registry's own advice keeps values under a few kilobytes and no reader of
// the program takes more than 2048 bytes; a megabyte leaves room for the game's
// data while bounding what one damaged line can make us allocate.
inline constexpr std::size_t kMaxRegistryValueSize = 1024 * 1024;
// The registry's limit on the length of a value name.
inline constexpr std::size_t kMaxRegistryNameLength = 16383;

struct RegistryValue {
    std::string name; // empty: the key's unnamed value, "@" in the file
    std::uint32_t type = kRegSz;
    std::vector<std::uint8_t> data;
    // The value's lines exactly as read, written back unchanged so that values
    // this program does not touch keep their form; empty for values set here.
    std::string source;
};

struct RegistryKeyEntry {
    std::string path; // full path from the root, e.g. "HKEY_CURRENT_USER\Software"
    std::vector<RegistryValue> values;
};

// One REGEDIT4 text file in memory. Key paths and value names compare ignoring
// ASCII case; the case first written is kept.
class CRegistryDocument {
public:
    // Parses a whole file; nullopt when any line is not of the format.
    static std::optional<CRegistryDocument> Parse(std::string_view text);
    std::string Serialise() const;

    // A key exists when it is named in the file or has a subkey there.
    bool HasKey(std::string_view path) const;
    const RegistryValue* FindValue(std::string_view keyPath, std::string_view name) const;

    // Adds the key when it is not named in the file; true when it was added.
    bool AddKey(std::string_view path);
    // Adds the key if needed and replaces or appends the value.
    void SetValue(std::string_view keyPath, std::string_view name, std::uint32_t type,
                  std::vector<std::uint8_t> data);

    const std::vector<RegistryKeyEntry>& Keys() const { return m_keys; }

private:
    RegistryKeyEntry* FindKey(std::string_view path);
    const RegistryKeyEntry* FindKey(std::string_view path) const;

    std::vector<RegistryKeyEntry> m_keys;
};

// ASCII case-insensitive equality, as the registry compares names.
bool RegistryNamesEqual(std::string_view a, std::string_view b);
