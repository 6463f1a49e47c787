#pragma once

#include "analysis/ScriptTokenLength.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The words of one script up to its first NUL, exactly as the analyser's
// tokenizer reads them one by one: separators (space, tab, line and page
// breaks, comma) between words, each word cut to kMaxTokenLength. Kept as bits,
// one per byte, so that a scan can go from word to word and find the words it
// looks for without reading the text byte by byte. The text must outlive the
// split; the bits are reused from script to script.
class CScriptWords {
public:
    // The bits of 64 bytes are one integer.
    static constexpr std::size_t kBlockBytes = 64;
    // Up to this many initials can be looked for, the analyser's commands
    // need as many: each costs a comparison per byte of every script.
    static constexpr std::size_t kMaxInitials = 6;

    // Words that begin with one of the letters of `initials` can be listed by
    // their length.
    template <std::size_t kSize>
    explicit CScriptWords(const char (&initials)[kSize]) : m_initials(initials, kSize - 1) {
        static_assert(kSize > 1 && kSize - 1 <= kMaxInitials);
    }

    void Split(const std::string& script);

    // Calls visit(position, word) for every word of exactly kLength bytes that
    // begins with one of the initials, in text order.
    template <std::size_t kLength, typename Visit> void ForEachWordOfLength(Visit visit) const {
        static_assert(kLength > 0 && kLength < kBlockBytes);
        for (std::size_t block = 0; block + 1 < m_blocks; ++block) {
            const std::uint64_t endsAfter =
                EndsIn(block) >> kLength | EndsIn(block + 1) << (kBlockBytes - kLength);
            for (std::uint64_t found = m_initialBits[block] & StartsIn(block) & endsAfter;
                 found != 0; found &= found - 1) {
                const std::size_t start =
                    block * kBlockBytes + static_cast<std::size_t>(std::countr_zero(found));
                visit(start, std::string_view(m_text + start, kLength));
            }
        }
    }

    // Reads words one after another from a position on, a block's bits at a
    // time, so that each word costs a few bit operations.
    class Cursor {
    public:
        Cursor(const CScriptWords& words, std::size_t from)
            : m_words(words), m_block(from / kBlockBytes) {
            Load();
            m_starts &= ~std::uint64_t{0} << from % kBlockBytes;
        }

        // The next word; empty at the end of the text.
        std::string_view Next() {
            if (!ToNextStart()) {
                return {m_words.m_text + m_words.m_length, 0};
            }
            const auto startBit = static_cast<unsigned>(std::countr_zero(m_starts));
            m_starts &= m_starts - 1;
            const std::size_t start = m_block * kBlockBytes + startBit;
            const std::uint64_t ends = m_ends & ~std::uint64_t{0} << startBit;
            const std::size_t end =
                ends != 0 ? m_block * kBlockBytes + static_cast<std::size_t>(std::countr_zero(ends))
                          : m_words.EndInLaterBlock(m_block);
            return {m_words.m_text + start, std::min(end - start, kMaxTokenLength)};
        }
        // The next word's start and the text after it, as far as the word can
        // reach once cut: for a reader that stops at a separator by itself,
        // which then needs no word end. Empty at the end of the text.
        std::string_view NextWithRest() {
            if (!ToNextStart()) {
                return {m_words.m_text + m_words.m_length, 0};
            }
            const std::size_t start =
                m_block * kBlockBytes + static_cast<std::size_t>(std::countr_zero(m_starts));
            m_starts &= m_starts - 1;
            return {m_words.m_text + start, std::min(m_words.m_length - start, kMaxTokenLength)};
        }
        void Skip(int count) {
            for (int i = 0; i < count && ToNextStart(); ++i) {
                m_starts &= m_starts - 1;
            }
        }
        // A position past the start of every word read, and at most the start
        // of the next one.
        std::size_t Resume() const {
            return m_starts != 0 ? m_block * kBlockBytes +
                                       static_cast<std::size_t>(std::countr_zero(m_starts))
                                 : (m_block + 1) * kBlockBytes;
        }

    private:
        void Load() {
            m_starts = m_words.StartsIn(m_block);
            m_ends = m_words.EndsIn(m_block);
        }
        // Moves to the block of the next word's start; false past the last.
        bool ToNextStart() {
            while (m_starts == 0) {
                if (m_block + 1 == m_words.m_blocks) {
                    return false;
                }
                ++m_block;
                Load();
            }
            return true;
        }

        const CScriptWords& m_words;
        std::size_t m_block;
        // The block's word starts not yet read, and its word ends.
        std::uint64_t m_starts = 0;
        std::uint64_t m_ends = 0;
    };

private:
    std::uint64_t WordBitsBefore(std::size_t block) const {
        return block > 0 ? m_wordBits[block - 1] >> (kBlockBytes - 1) : 0;
    }
    std::uint64_t StartsIn(std::size_t block) const {
        return m_wordBits[block] & ~(m_wordBits[block] << 1 | WordBitsBefore(block));
    }
    std::uint64_t EndsIn(std::size_t block) const {
        return ~m_wordBits[block] & (m_wordBits[block] << 1 | WordBitsBefore(block));
    }
    // Where a word that runs past the end of `block` ends.
    std::size_t EndInLaterBlock(std::size_t block) const;

    std::string m_initials;
    const char* m_text = nullptr;
    std::size_t m_length = 0;
    // The text's blocks and one past them, all separators, where the last
    // word ends.
    std::size_t m_blocks = 0;
    // A bit per byte: set inside words, and set on the initials. Only ever
    // grown, so that each script costs no clearing.
    std::vector<std::uint64_t> m_wordBits;
    std::vector<std::uint64_t> m_initialBits;
};
