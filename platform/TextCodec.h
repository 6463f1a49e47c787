#pragma once

#include <optional>
#include <string>
#include <string_view>

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text);

// UTF-16 little-endian bytes to UTF-8; nullopt for an odd number of bytes or a
// surrogate without its partner, so converting back gives the same bytes.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes);
// UTF-8 to UTF-16 little-endian bytes; a byte that does not belong to a
// well-formed character becomes U+FFFD, as the system's converter does.
std::string Utf8ToUtf16Le(std::string_view text);
