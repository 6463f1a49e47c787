#include "sim/mirewalk-sim-win/CommandWords.h"

#include <cwchar>
#include <cwctype>
#include <string>

namespace {

bool IsSpace(wchar_t c) {
    return std::iswspace(static_cast<wint_t>(c)) != 0;
}

// The largest value a byte of a notification can have.
constexpr unsigned long kMaxByte = 255;

} // namespace

std::wstring_view TrimSpace(std::wstring_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::wstring_view> SplitWords(std::wstring_view text) {
    std::vector<std::wstring_view> words;
    std::size_t start = 0;
    while (start < text.size()) {
        if (IsSpace(text[start])) {
            ++start;
            continue;
        }
        std::size_t end = start;
        while (end < text.size() && !IsSpace(text[end])) {
            ++end;
        }
        words.push_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

std::optional<unsigned long> ParseNumber(std::wstring_view word, unsigned long max) {
    if (word.empty()) {
        return std::nullopt;
    }
    unsigned long value = 0;
    for (const wchar_t c : word) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned long>(c - L'0');
        if (value > max) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<std::chrono::milliseconds> ParseDelay(std::wstring_view seconds) {
    const std::wstring text(seconds);
    wchar_t* end = nullptr;
    const std::chrono::duration<double> delay(std::wcstod(text.c_str(), &end));
    const bool whole = !text.empty() && end == text.c_str() + text.size();
    // Written this way round, "nan" fails both comparisons.
    if (!whole || !(delay >= delay.zero() && delay <= kMaxAnswerDelay)) {
        return std::nullopt;
    }
    return std::chrono::round<std::chrono::milliseconds>(delay);
}

std::optional<NotificationBytes> ParseNotificationBytes(std::span<const std::wstring_view> words) {
    NotificationBytes bytes{};
    if (words.size() != bytes.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = ParseNumber(words[i], kMaxByte);
        if (!byte) {
            return std::nullopt;
        }
        bytes[i] = static_cast<std::uint8_t>(*byte);
    }
    return bytes;
}
