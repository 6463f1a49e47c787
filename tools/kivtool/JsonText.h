#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

// Windows-1252 text from an agent file as a JSON string literal.
std::string Json1252(std::string_view windows1252);

// Windows-1252 text as UTF-8 on one line: line breaks show as \r and \n.
std::string OneLine(std::string_view windows1252);

// "image", "sound" or "unknown" for a carried file's type.
const char* CarriedTypeName(std::uint32_t type);

// Appends one item to a list whose items are separated by `separator`.
void AddItem(std::string& list, const std::string& item, const char* separator = ",");
