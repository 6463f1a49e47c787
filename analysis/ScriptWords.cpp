#include "analysis/ScriptWords.h"

#include <emmintrin.h>

#include <algorithm>
#include <bit>

namespace {

// A block's bits are found sixteen bytes per instruction.
constexpr std::size_t kBlockBytes = CScriptWords::kBlockBytes;
constexpr std::size_t kLaneBytes = 16;

bool IsSeparator(unsigned char c) {
    return c == ' ' || c == ',' || (c >= '\t' && c <= '\r');
}

// A block's bits: set for separators, for the initials looked for and for
// NULs, where the text ends.
struct BlockBits {
    std::uint64_t separators = 0;
    std::uint64_t initials = 0;
    std::uint64_t nuls = 0;
};

// The initials, each in every byte of a vector. Always kMaxInitials of them,
// the first repeated where there are fewer, so that the loop over them has a
// fixed length.
struct InitialVectors {
    explicit InitialVectors(std::string_view initials) {
        for (std::size_t i = 0; i < CScriptWords::kMaxInitials; ++i) {
            vectors[i] = _mm_set1_epi8(initials[i < initials.size() ? i : 0]);
        }
    }
    __m128i vectors[CScriptWords::kMaxInitials];
};

BlockBits BitsIn16(const char* bytes, const InitialVectors& initials) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    // Tab to carriage return are 9 to 13: c - 9 <= 4, unsigned.
    const __m128i fromTab = _mm_sub_epi8(c, _mm_set1_epi8('\t'));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8(4)), fromTab);
    const __m128i space = _mm_cmpeq_epi8(c, _mm_set1_epi8(' '));
    const __m128i comma = _mm_cmpeq_epi8(c, _mm_set1_epi8(','));
    const __m128i separators = _mm_or_si128(control, _mm_or_si128(space, comma));
    __m128i initial = _mm_setzero_si128();
#pragma GCC unroll 8
    for (std::size_t i = 0; i < CScriptWords::kMaxInitials; ++i) {
        initial = _mm_or_si128(initial, _mm_cmpeq_epi8(c, initials.vectors[i]));
    }
    const __m128i nul = _mm_cmpeq_epi8(c, _mm_setzero_si128());
    return {static_cast<std::uint16_t>(_mm_movemask_epi8(separators)),
            static_cast<std::uint16_t>(_mm_movemask_epi8(initial)),
            static_cast<std::uint16_t>(_mm_movemask_epi8(nul))};
}

BlockBits BitsInFullBlock(const char* block, const InitialVectors& initials) {
    BlockBits bits;
#pragma GCC unroll 4
    for (std::size_t lane = 0; lane < kBlockBytes; lane += kLaneBytes) {
        const BlockBits laneBits = BitsIn16(block + lane, initials);
        bits.separators |= laneBits.separators << lane;
        bits.initials |= laneBits.initials << lane;
        bits.nuls |= laneBits.nuls << lane;
    }
    return bits;
}

// The same for the bytes that end a text, fewer than a block, byte by byte.
BlockBits BitsInShortBlock(const char* block, std::size_t length, std::string_view initials) {
    BlockBits bits;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(block[i]);
        bits.separators |= std::uint64_t{IsSeparator(c)} << i;
        bits.initials |= std::uint64_t{initials.find(block[i]) != std::string_view::npos} << i;
        bits.nuls |= std::uint64_t{c == 0} << i;
    }
    return bits;
}

} // namespace

void CScriptWords::Split(const std::string& script) {
    m_text = script.data();
    m_length = script.size();
    const std::size_t capacity = m_length / kBlockBytes + 2;
    if (m_wordBits.size() < capacity) {
        m_wordBits.resize(capacity);
        m_initialBits.resize(capacity);
    }
    const InitialVectors initials(m_initials);
    std::size_t block = 0;
    for (std::size_t base = 0; base < m_length; base += kBlockBytes, ++block) {
        const std::size_t blockLength = std::min(kBlockBytes, m_length - base);
        BlockBits bits = blockLength == kBlockBytes
                             ? BitsInFullBlock(m_text + base, initials)
                             : BitsInShortBlock(m_text + base, blockLength, m_initials);
        if (bits.nuls != 0) {
            m_length = base + static_cast<std::size_t>(std::countr_zero(bits.nuls));
        }
        // Bytes past the text count as separators, so that a word in
        // progress ends with it.
        if (m_length - base < kBlockBytes) {
            const std::uint64_t pastText = ~std::uint64_t{0} << (m_length - base);
            bits.separators |= pastText;
            bits.initials &= ~pastText;
        }
        m_wordBits[block] = ~bits.separators;
        m_initialBits[block] = bits.initials;
    }
    m_wordBits[block] = 0;
    m_initialBits[block] = 0;
    m_blocks = block + 1;
}

std::size_t CScriptWords::EndInLaterBlock(std::size_t block) const {
    std::uint64_t ends = 0;
    while (ends == 0) {
        ends = EndsIn(++block);
    }
    return block * kBlockBytes + static_cast<std::size_t>(std::countr_zero(ends));
}
