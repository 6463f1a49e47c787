#include "framework/PixelRowsAvx2.h"

#include "framework/PixelRowKernels.h"

#include <immintrin.h>

// Sixteen pixels fill one 256-bit register, eight to a 128-bit half. Each
// half becomes 24 destination bytes: 16 in the same half of `lo`, 8 in the low
// bytes of that half of `hi`. Byte shuffles work within halves, so both halves
// use the same shuffle patterns. Whatever is left of a row (under sixteen
// pixels) takes the plain loop, compiled here for AVX2 too.
#define SB_AVX2 [[gnu::target("avx2"), gnu::always_inline]] inline

namespace {

constexpr int kBlockPixels = 16;
constexpr char kZero = -128; // a shuffle index that gives 0

struct Bytes48 {
    __m256i lo;
    __m256i hi;
};

struct Channels {
    __m256i blue;
    __m256i green;
    __m256i red;
};

// A shuffle pattern for both halves: byte i of a half comes from byte index(i)
// of the same half.
struct Pattern {
    alignas(32) char bytes[32];
};

template <typename Index> constexpr Pattern MakePattern(Index index) {
    Pattern pattern{};
    for (int i = 0; i < 16; ++i) {
        pattern.bytes[i] = pattern.bytes[16 + i] = index(i);
    }
    return pattern;
}

// Where destination byte `at` (0..23 of eight pixels) comes from in the
// 16-bit channel registers: pixel at / 3, low byte.
constexpr char ChannelByte(int at, int channel) {
    return at % 3 == channel ? static_cast<char>(at / 3 * 2) : kZero;
}
constexpr Pattern kBlueGreenToLo =
    MakePattern([](int i) { return i % 3 == 2 ? kZero : static_cast<char>(i / 3 * 2 + i % 3); });
constexpr Pattern kRedToLo = MakePattern([](int i) { return ChannelByte(i, 2); });
constexpr Pattern kBlueGreenToHi = MakePattern([](int i) {
    const int at = 16 + i;
    return i >= 8 || at % 3 == 2 ? kZero : static_cast<char>(at / 3 * 2 + at % 3);
});
constexpr Pattern kRedToHi =
    MakePattern([](int i) { return i >= 8 ? kZero : ChannelByte(16 + i, 2); });

// The reverse: channel `c` of eight pixels as 16-bit values, from `lo` and `hi`.
template <int kChannel>
constexpr Pattern kFromLo = MakePattern([](int i) {
    const int at = i / 2 * 3 + kChannel;
    return i % 2 == 0 && at < 16 ? static_cast<char>(at) : kZero;
});
template <int kChannel>
constexpr Pattern kFromHi = MakePattern([](int i) {
    const int at = i / 2 * 3 + kChannel;
    return i % 2 == 0 && at >= 16 ? static_cast<char>(at - 16) : kZero;
});

SB_AVX2 __m256i Load(const Pattern& pattern) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(pattern.bytes));
}

SB_AVX2 __m256i Shuffle(__m256i bytes, const Pattern& pattern) {
    return _mm256_shuffle_epi8(bytes, Load(pattern));
}

// i * 255 / 31 and i * 255 / 63 rounded down, from a field shifted so that
// one high-half multiplication gives it exactly: (field << 4) * 33693 / 65536
// for five bits, (field << 5) * 8290 / 65536 for six.
SB_AVX2 __m256i Widen5At4(__m256i shifted) {
    return _mm256_mulhi_epu16(shifted, _mm256_set1_epi16(static_cast<short>(33693)));
}
SB_AVX2 __m256i Widen6At5(__m256i shifted) {
    return _mm256_mulhi_epu16(shifted, _mm256_set1_epi16(8290));
}
SB_AVX2 __m256i Widen5At5(__m256i shifted) {
    return _mm256_mulhi_epu16(shifted, _mm256_set1_epi16(16847));
}

template <bool kIs565> SB_AVX2 Channels Expand(const std::uint16_t* pixels) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
    const __m256i blue =
        Widen5At4(_mm256_and_si256(_mm256_slli_epi16(p, 4), _mm256_set1_epi16(0x1F0)));
    if constexpr (kIs565) {
        return {blue, Widen6At5(_mm256_and_si256(p, _mm256_set1_epi16(0x7E0))),
                Widen5At4(_mm256_and_si256(_mm256_srli_epi16(p, 7), _mm256_set1_epi16(0x1F0)))};
    } else {
        return {blue, Widen5At5(_mm256_and_si256(p, _mm256_set1_epi16(0x3E0))),
                Widen5At4(_mm256_and_si256(_mm256_srli_epi16(p, 6), _mm256_set1_epi16(0x1F0)))};
    }
}

SB_AVX2 Bytes48 Interleave(const Channels& c) {
    const __m256i blueGreen = _mm256_or_si256(c.blue, _mm256_slli_epi16(c.green, 8));
    return {_mm256_or_si256(Shuffle(blueGreen, kBlueGreenToLo), Shuffle(c.red, kRedToLo)),
            _mm256_or_si256(Shuffle(blueGreen, kBlueGreenToHi), Shuffle(c.red, kRedToHi))};
}

template <int kChannel> SB_AVX2 __m256i Channel(const Bytes48& bytes) {
    return _mm256_or_si256(Shuffle(bytes.lo, kFromLo<kChannel>),
                           Shuffle(bytes.hi, kFromHi<kChannel>));
}

SB_AVX2 __m128i* At(std::uint8_t* out, int offset) {
    return reinterpret_cast<__m128i*>(out + offset);
}

SB_AVX2 Bytes48 Load48(std::uint8_t* out) {
    return {_mm256_loadu2_m128i(At(out, 24), At(out, 0)),
            _mm256_set_m128i(_mm_loadl_epi64(At(out, 40)), _mm_loadl_epi64(At(out, 16)))};
}

SB_AVX2 void Store48(std::uint8_t* out, const Bytes48& bytes) {
    _mm_storeu_si128(At(out, 0), _mm256_castsi256_si128(bytes.lo));
    _mm_storel_epi64(At(out, 16), _mm256_castsi256_si128(bytes.hi));
    _mm_storeu_si128(At(out, 24), _mm256_extracti128_si256(bytes.lo, 1));
    _mm_storel_epi64(At(out, 40), _mm256_extracti128_si256(bytes.hi, 1));
}

// As the plain Mix, in 16-bit lanes.
SB_AVX2 __m256i Mix(__m256i source, __m256i destination, __m256i opacity, __m256i rest,
                    __m256i keep) {
    const __m256i mixed = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(source, opacity),
                                                             _mm256_mullo_epi16(destination, rest)),
                                            8);
    return _mm256_blendv_epi8(mixed, destination, keep);
}

struct Avx2 {
    template <bool kIs565>
    SB_AVX2 static void CopyRow(const std::uint16_t* pixels, std::uint8_t* out, int width) {
        int column = 0;
        for (; column + kBlockPixels <= width; column += kBlockPixels) {
            Store48(out + column * 3, Interleave(Expand<kIs565>(pixels + column)));
        }
        pixel_kernels::Plain::CopyRow<kIs565>(pixels + column, out + column * 3, width - column);
    }

    template <bool kIs565, bool kKeyed>
    SB_AVX2 static void BlendRow(const std::uint16_t* pixels, std::uint16_t key, std::uint8_t* out,
                                 int width, std::uint16_t opacity) {
        const __m256i a = _mm256_set1_epi16(static_cast<short>(opacity));
        const __m256i rest = _mm256_set1_epi16(static_cast<short>(255 - opacity));
        int column = 0;
        for (; column + kBlockPixels <= width; column += kBlockPixels) {
            __m256i keep = _mm256_setzero_si256();
            if constexpr (kKeyed) {
                const __m256i p =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + column));
                keep = _mm256_cmpeq_epi16(p, _mm256_set1_epi16(static_cast<short>(key)));
            }
            const Channels source = Expand<kIs565>(pixels + column);
            std::uint8_t* at = out + column * 3;
            const Bytes48 destination = Load48(at);
            Store48(at, Interleave({Mix(source.blue, Channel<0>(destination), a, rest, keep),
                                    Mix(source.green, Channel<1>(destination), a, rest, keep),
                                    Mix(source.red, Channel<2>(destination), a, rest, keep)}));
        }
        pixel_kernels::Plain::BlendRow<kIs565, kKeyed>(pixels + column, key, out + column * 3,
                                                       width - column, opacity);
    }
};

// The row and format loops of the plain path, repeated here because a
// function compiled for AVX2 can only be inlined into one that is too.
template <bool kIs565> [[gnu::target("avx2")]] void CopyRows(const PixelRows& rows) {
    for (int row = 0; row < rows.height; ++row) {
        Avx2::CopyRow<kIs565>(rows.pixels + row * rows.sourceStride,
                              rows.out + row * rows.outStride, rows.width);
    }
}

template <bool kIs565, bool kKeyed>
[[gnu::target("avx2")]] void BlendRows(const PixelRows& rows, std::uint16_t opacity) {
    for (int row = 0; row < rows.height; ++row) {
        Avx2::BlendRow<kIs565, kKeyed>(rows.pixels + row * rows.sourceStride, rows.key,
                                       rows.out + row * rows.outStride, rows.width, opacity);
    }
}

} // namespace

bool HasAvx2() {
    return __builtin_cpu_supports("avx2");
}

void Avx2Copy(const PixelRows& rows) {
    rows.is565 ? CopyRows<true>(rows) : CopyRows<false>(rows);
}

void Avx2Blend(const PixelRows& rows, int opacity) {
    const auto a = static_cast<std::uint16_t>(opacity);
    if (rows.keyed) {
        rows.is565 ? BlendRows<true, true>(rows, a) : BlendRows<false, true>(rows, a);
    } else {
        rows.is565 ? BlendRows<true, false>(rows, a) : BlendRows<false, false>(rows, a);
    }
}
