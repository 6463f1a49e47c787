#include "analysis/ScriptWords.h"

#include <emmintrin.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// A block's bits are found sixteen bytes per instruction.
constexpr std::size_t kBlockBytes = CScriptWords::kBlockBytes;
constexpr std::size_t kLaneBytes = 16;

bool IsSeparator(unsigned char c) {
    return c == ' ' || c == ',' || (c >= '\t' && c <= '\r');
}

// A block's bits: set for separators and for the initials looked for.
struct BlockBits {
    std::uint64_t separators = 0;
    std::uint64_t initials = 0;
};

// Where the text ends inside a block of `length` bytes: at its first NUL, or
// at `length`. Looked for while the block is at hand rather than in a pass of
// its own, which would wait for the text to come from memory once more.
std::size_t TextInBlock(const char* block, std::size_t length) {
    if (length == kBlockBytes) {
        __m128i nuls = _mm_setzero_si128();
#pragma GCC unroll 4
        for (std::size_t lane = 0; lane < kBlockBytes; lane += kLaneBytes) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + lane));
            nuls = _mm_or_si128(nuls, _mm_cmpeq_epi8(c, _mm_setzero_si128()));
        }
        if (_mm_movemask_epi8(nuls) == 0) {
            return length;
        }
    }
    const void* nul = std::memchr(block, 0, length);
    return nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - block)
                          : length;
}

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
    // Tab to carriage return are 9 to 13; moved up to 0x80 to 0x84, they are
    // the only bytes below 0x85 as signed numbers, where 0x80 is the least.
    const __m128i moved = _mm_add_epi8(c, _mm_set1_epi8(static_cast<char>(0x80 - '\t')));
    const __m128i control =
        _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(0x80 + '\r' - '\t' + 1)));
    const __m128i space = _mm_cmpeq_epi8(c, _mm_set1_epi8(' '));
    const __m128i comma = _mm_cmpeq_epi8(c, _mm_set1_epi8(','));
    const __m128i separators = _mm_or_si128(control, _mm_or_si128(space, comma));
    __m128i initial = _mm_setzero_si128();
#pragma GCC unroll 8
    for (std::size_t i = 0; i < CScriptWords::kMaxInitials; ++i) {
        initial = _mm_or_si128(initial, _mm_cmpeq_epi8(c, initials.vectors[i]));
    }
    return {static_cast<std::uint16_t>(_mm_movemask_epi8(separators)),
            static_cast<std::uint16_t>(_mm_movemask_epi8(initial))};
}

BlockBits BitsInFullBlock(const char* block, const InitialVectors& initials) {
    BlockBits bits;
#pragma GCC unroll 4
    for (std::size_t lane = 0; lane < kBlockBytes; lane += kLaneBytes) {
        const BlockBits laneBits = BitsIn16(block + lane, initials);
        bits.separators |= laneBits.separators << lane;
        bits.initials |= laneBits.initials << lane;
    }
    return bits;
}

// The same for the bytes that end a text, fewer than a block, byte by byte.
// Bytes past the text count as separators, so that a word in progress ends
// with it.
BlockBits BitsInShortBlock(const char* block, std::size_t length, std::string_view initials) {
    BlockBits bits;
    bits.separators = ~std::uint64_t{0} << length;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(block[i]);
        bits.separators |= std::uint64_t{IsSeparator(c)} << i;
        bits.initials |= std::uint64_t{initials.find(block[i]) != std::string_view::npos} << i;
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
        std::size_t blockLength = std::min(kBlockBytes, m_length - base);
        const std::size_t inText = TextInBlock(m_text + base, blockLength);
        if (inText < blockLength) {
            m_length = base + inText;
            blockLength = inText;
        }
        const BlockBits bits = blockLength == kBlockBytes
                                   ? BitsInFullBlock(m_text + base, initials)
                                   : BitsInShortBlock(m_text + base, blockLength, m_initials);
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
