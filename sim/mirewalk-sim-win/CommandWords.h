#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The pieces of the substitute's command lines and options.

std::wstring_view TrimSpace(std::wstring_view text);
std::vector<std::wstring_view> SplitWords(std::wstring_view text);

// A decimal number of digits only, in [0, max]; nothing otherwise.
std::optional<unsigned long> ParseNumber(std::wstring_view word, unsigned long max);

// Far longer than any test or person waits for one macro.
inline constexpr std::chrono::hours kMaxAnswerDelay{1};
// A delay given as seconds, such as "3" or "0.5"; nothing when the text is not
// one, or is negative or longer than kMaxAnswerDelay.
std::optional<std::chrono::milliseconds> ParseDelay(std::wstring_view seconds);

// A notification's four bytes, lowest first in the 32-bit value sent.
using NotificationBytes = std::array<std::uint8_t, 4>;
// Exactly four words, each a byte 0 to 255; nothing otherwise.
std::optional<NotificationBytes> ParseNotificationBytes(std::span<const std::wstring_view> words);
