#pragma once

#include <cstddef>

// Longer words of a script are cut to this many characters, the rest of the
// word dropped: the tokenizer and the word bits read the same words.
inline constexpr std::size_t kMaxTokenLength = 255;
