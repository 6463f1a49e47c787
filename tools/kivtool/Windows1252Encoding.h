#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-8 text as Windows-1252 bytes, the encoding inside agent files; nullopt
// when the text is not valid UTF-8 or holds a character Windows-1252 lacks.
// U+0000 is the byte 0, which texts in agent files cannot hold but tags can.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);
