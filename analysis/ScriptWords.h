#pragma once

#include "analysis/ScriptAnalyser.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The words of one script up to its first NUL, exactly as the analyser's
// tokenizer reads them one by one: separators (space, tab, line and page
// breaks, comma) between words, each word cut to kMaxTokenLength, and one
// empty word when the text ends in separators. Kept as positions in the text,
// which must outlive the split; the buffers are reused from script to script.
class CScriptWords {
public:
    // Scripts are at most this long, so that positions fit 32 bits.
    static constexpr std::size_t kMaxScriptBytes = UINT32_MAX;

    void Split(const std::string& script);
    std::size_t Count() const { return m_count; }
    // Inline: the scans call it for every word.
    std::string_view operator[](std::size_t index) const {
        const std::size_t length = m_ends[index] - m_starts[index];
        return {m_text + m_starts[index], std::min(length, kMaxTokenLength)};
    }

private:
    const char* m_text = nullptr;
    std::size_t m_count = 0;
    // Only ever grown, so that each script costs no clearing.
    std::vector<std::uint32_t> m_starts;
    std::vector<std::uint32_t> m_ends;
};
