#pragma once

#include <cstdint>
#include <span>
#include <string>

// Narrows UTF-16 code units to Windows-1252 bytes, the text form of the
// chemical list in memory. Characters that Windows-1252 has become their byte;
// every other character (including a surrogate pair, taken as one character)
// becomes '?', as the system's own narrowing does with its default character.
std::string WideToWindows1252(std::span<const std::uint16_t> text);
