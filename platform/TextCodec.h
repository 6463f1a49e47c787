#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text inside agent files and the chemical list is single-byte Windows-1252,
// kept byte for byte in memory; it becomes UTF-8 where it leaves the program
// (the screen, the D-Bus wire, file names). Bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of that value.
std::string Windows1252ToUtf8(std::string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text);

// UTF-16 little-endian bytes to UTF-8; nullopt for an odd number of bytes or a
// surrogate without its partner, so converting back gives the same bytes.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes);
// UTF-8 to UTF-16 little-endian bytes; a byte that does not belong to a
// well-formed character becomes U+FFFD, as the system's converter does.
std::string Utf8ToUtf16Le(std::string_view text);
