#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Text inside agent files and the chemical list is single-byte Windows-1252,
// kept byte for byte in memory; it becomes UTF-8 where it leaves the program
// (the screen, the D-Bus wire, file names). Bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control of that
// value, both ways, so every byte survives a round trip.
std::string Windows1252ToUtf8(std::string_view text);

// UTF-8 text as Windows-1252 bytes; nullopt when the text is not valid UTF-8
// or holds a character Windows-1252 lacks. U+0000 is the byte 0, which texts
// in agent files cannot hold but tags can.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// Narrows UTF-16 code units, as the chemical list may store its names. Every
// character Windows-1252 lacks (a surrogate pair taken as one character)
// becomes '?', as the system's own narrowing does with its default character.
std::string WideToWindows1252(std::span<const std::uint16_t> text);
