#pragma once

#include <cstddef>
#include <string_view>

// The length of the longest beginning of the UTF-8 `text` that is at most
// `maxBytes` long and does not end inside a character, so a cut text stays
// valid UTF-8.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes);
