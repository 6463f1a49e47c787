#pragma once

#include <string_view>

// A subkey path that every registry of the game can hold: empty (the root
// itself), or backslash-separated names in UTF-8, none empty or too long, none
// holding a character that would break a file's key line.
bool IsValidSubkey(std::string_view subkey);
