#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The program's one reading of UTF-8's byte structure. A byte that cannot
// begin a sequence (a continuation byte, or 0xF8 to 0xFF) has length 0; every
// caller decides what such a byte means for it.
bool IsUtf8Continuation(unsigned char byte);
std::size_t Utf8SequenceLength(unsigned char lead);

// The code point that starts at `text[at]`, `at` moved past it; nullopt, `at`
// unchanged, when the bytes there are not a well-formed character (strict: no
// overlong forms, no surrogates, nothing past U+10FFFF).
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& at);
void AppendUtf8(std::string& out, char32_t code);

// The length of the longest beginning of `text` that is at most `maxBytes`
// long and does not end inside a character, so a cut text stays valid UTF-8.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes);
// The length of `text` without a last character that was cut short.
std::size_t Utf8WholeLength(std::string_view text);
