#include "analysis/ScriptWords.h"

#include <emmintrin.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Scripts are split 64 bytes at a time: a bit per byte, set for separators,
// found sixteen bytes per instruction. Word starts and ends then come from
// the bits, without the branch per byte and per word that a word-by-word scan
// takes.
constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kLaneBytes = 16;

bool IsSeparator(unsigned char c) {
    return c == ' ' || c == ',' || (c >= '\t' && c <= '\r');
}

std::uint64_t SeparatorsIn16(const char* bytes) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    // Tab to carriage return are 9 to 13: c - 9 <= 4, unsigned.
    const __m128i fromTab = _mm_sub_epi8(c, _mm_set1_epi8('\t'));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8(4)), fromTab);
    const __m128i space = _mm_cmpeq_epi8(c, _mm_set1_epi8(' '));
    const __m128i comma = _mm_cmpeq_epi8(c, _mm_set1_epi8(','));
    const __m128i any = _mm_or_si128(control, _mm_or_si128(space, comma));
    return static_cast<std::uint16_t>(_mm_movemask_epi8(any));
}

// Bit i set when byte i of the block is a separator; bytes past `length`
// count as separators, so that a word in progress ends with the text.
std::uint64_t SeparatorsInBlock(const char* block, std::size_t length) {
    std::uint64_t separators = 0;
    if (length == kBlockBytes) {
        for (std::size_t lane = 0; lane < kBlockBytes; lane += kLaneBytes) {
            separators |= SeparatorsIn16(block + lane) << lane;
        }
        return separators;
    }
    separators = ~std::uint64_t{0} << length;
    for (std::size_t i = 0; i < length; ++i) {
        separators |= std::uint64_t{IsSeparator(static_cast<unsigned char>(block[i]))} << i;
    }
    return separators;
}

// Where the text ends inside a block of `length` bytes: at its first NUL, or
// at `length`. Checked block by block, while the block is at hand, rather than
// by a pass of its own over the whole text.
std::size_t TextInBlock(const char* block, std::size_t length) {
    if (length < kBlockBytes) {
        const void* nul = std::memchr(block, 0, length);
        return nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - block)
                              : length;
    }
    std::uint64_t nuls = 0;
    for (std::size_t lane = 0; lane < kBlockBytes; lane += kLaneBytes) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + lane));
        const auto bits = _mm_movemask_epi8(_mm_cmpeq_epi8(c, _mm_setzero_si128()));
        nuls |= std::uint64_t{static_cast<std::uint16_t>(bits)} << lane;
    }
    return nuls != 0 ? static_cast<std::size_t>(std::countr_zero(nuls)) : length;
}

// Appends base + the position of every set bit.
std::uint32_t* AppendPositions(std::uint64_t bits, std::uint32_t base, std::uint32_t* out) {
    for (; bits != 0; bits &= bits - 1) {
        *out++ = base + static_cast<std::uint32_t>(std::countr_zero(bits));
    }
    return out;
}

} // namespace

void CScriptWords::Split(const std::string& script) {
    m_text = script.data();
    auto length = static_cast<std::uint32_t>(std::min(script.size(), kMaxScriptBytes));
    // Words and separators alternate, so a word takes at least two bytes but
    // the last; the trailing empty word needs one more.
    const std::size_t capacity = length / 2 + 2;
    if (m_starts.size() < capacity) {
        m_starts.resize(capacity);
        m_ends.resize(capacity);
    }
    std::uint32_t* starts = m_starts.data();
    std::uint32_t* ends = m_ends.data();
    bool inWord = false; // the byte before the block belongs to a word
    for (std::uint32_t base = 0; base < length; base += kBlockBytes) {
        const std::size_t blockLength = std::min<std::size_t>(kBlockBytes, length - base);
        const std::size_t inBlock = TextInBlock(m_text + base, blockLength);
        if (inBlock < blockLength) {
            length = base + static_cast<std::uint32_t>(inBlock);
        }
        const std::uint64_t word = ~SeparatorsInBlock(m_text + base, inBlock);
        const std::uint64_t previous = word << 1 | std::uint64_t{inWord};
        starts = AppendPositions(word & ~previous, base, starts);
        ends = AppendPositions(~word & previous, base, ends);
        inWord = (word >> 63) != 0;
    }
    if (length % kBlockBytes == 0 && inWord) {
        *ends++ = length;
    }
    if (length > 0 && IsSeparator(static_cast<unsigned char>(m_text[length - 1]))) {
        *starts++ = length;
        *ends++ = length;
    }
    m_count = static_cast<std::size_t>(starts - m_starts.data());
}
