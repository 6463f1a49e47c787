#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Value types as the registry numbers them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

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

// A value as the program sees it: text in the system's code page (UTF-8),
// whatever form the file keeps it in.
struct RegistryValue {
    std::string name; // empty: the key's unnamed value, "@" in the file
    std::uint32_t type = kRegSz;
    std::vector<std::uint8_t> data;
};

// The two export formats, told apart by their first line. In REGEDIT4 text is
// in the system's code page, and a string value written as a hex list holds
// those bytes. Version 5 text is Unicode: such a list holds UTF-16 LE.
enum class RegistryVersion { Regedit4, Version5 };
