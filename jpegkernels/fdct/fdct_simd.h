#pragma once
// Forward DCT and quantiser of processor indexes 1 to 5, with the widening
// row kernels of row 12. Each level's translation unit includes this once
// and expands JPEGKERNELS_DEFINE_FDCT_LEVEL; everything else has internal
// linkage.
//
// The transform runs down the columns first, in saturating 16-bit lanes with
// high-half multiplies by tangent constants (the order of the saturating
// steps is part of the result), then along the rows by weighted sums in
// 32-bit multiply-adds that wrap, rounded by 2^19 and shifted by 20. Wide
// builds take all eight columns at once; the 64-bit build takes four at a
// time, with the same values.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/fdct/fdct_kernels.h"
#include "jpegkernels/fdct/quant_table.h"
#include "jpegkernels/memory/kernel_memory.h"

namespace jpegkernels {
namespace {

// Column constants: 2^16 tan(pi/16), 2^16 tan(2pi/16), 2^16 tan(3pi/16) less
// 65536, 2^15 cos(4pi/16).
constexpr int16_t kTan1 = 13036;
constexpr int16_t kTan2 = 27146;
constexpr int16_t kTan3m = -21746;
constexpr int16_t kCos4 = 23170;

// Row weights of a row pair p (rows 0/4, 1/7, 2/6, 3/5): the magnitudes
// round(2^14 sqrt(2) C(k) cos(k' pi/16) f_p), f_0 = 1, f_p = sqrt(2) cos(p pi/16),
// in the order of the cosines cos(4pi/16) (and C(0)), cos(pi/16),
// cos(2pi/16), cos(3pi/16), cos(5pi/16), cos(6pi/16), cos(7pi/16).
struct PairMagnitudes {
    int16_t m4, m1, m2, m3, m5, m6, m7;
};
constexpr PairMagnitudes kPairMagnitudes[4] = {
    {16384, 22725, 21407, 19266, 12873, 8867, 4520},
    {22725, 31521, 29692, 26722, 17855, 12299, 6270},
    {21407, 29692, 27969, 25172, 16819, 11585, 5906},
    {19266, 26722, 25172, 22654, 15137, 10426, 5315},
};
constexpr int kRowPair[8] = {0, 1, 2, 3, 0, 3, 2, 1};

// Output k of a row from the sums s_j (k even) or differences d_j (k odd),
// j = 0..3: weight W[k][j].
constexpr int16_t RowWeight(int pair, int k, int j) {
    const PairMagnitudes m = kPairMagnitudes[pair];
    const int16_t w[8][4] = {
        {m.m4, m.m4, m.m4, m.m4},
        {m.m1, m.m3, m.m5, m.m7},
        {m.m2, m.m6, static_cast<int16_t>(-m.m6), static_cast<int16_t>(-m.m2)},
        {m.m3, static_cast<int16_t>(-m.m7), static_cast<int16_t>(-m.m1), static_cast<int16_t>(-m.m5)},
        {m.m4, static_cast<int16_t>(-m.m4), static_cast<int16_t>(-m.m4), m.m4},
        {m.m5, static_cast<int16_t>(-m.m1), m.m7, m.m3},
        {m.m6, static_cast<int16_t>(-m.m2), m.m2, static_cast<int16_t>(-m.m6)},
        {m.m7, static_cast<int16_t>(-m.m5), m.m3, static_cast<int16_t>(-m.m1)},
    };
    return w[k][j];
}

// The multiply-add vectors of a pair: for outputs 0..3 and 4..7, against
// (s0 s1 d0 d1 s0 s1 d0 d1) and against (s2 s3 d2 d3 s2 s3 d2 d3).
struct RowWeightVectors {
    alignas(16) int16_t v[4][8];
};
constexpr RowWeightVectors MakeRowWeights(int pair) {
    RowWeightVectors r{};
    for (int half = 0; half < 2; ++half) {
        for (int lane = 0; lane < 4; ++lane) {
            const int k = 4 * half + lane;
            for (int i = 0; i < 2; ++i) {
                r.v[2 * half][2 * lane + i] = RowWeight(pair, k, i);
                r.v[2 * half + 1][2 * lane + i] = RowWeight(pair, k, 2 + i);
            }
        }
    }
    return r;
}
constexpr RowWeightVectors kRowWeights[4] = {MakeRowWeights(0), MakeRowWeights(1), MakeRowWeights(2),
                                             MakeRowWeights(3)};

inline __m128i Lanes16(int16_t v) { return _mm_set1_epi16(v); }

// The column transform of eight (or four) columns at once; v[i] holds row i
// on entry and intermediate row i on return.
inline void ColumnPass(__m128i* v) {
    const __m128i one = Lanes16(1);
    const __m128i t0 = _mm_adds_epi16(v[0], v[7]), t7 = _mm_subs_epi16(v[0], v[7]);
    const __m128i t1 = _mm_adds_epi16(v[1], v[6]), t6 = _mm_subs_epi16(v[1], v[6]);
    const __m128i t2 = _mm_adds_epi16(v[2], v[5]), t5 = _mm_subs_epi16(v[2], v[5]);
    const __m128i t3 = _mm_adds_epi16(v[3], v[4]), t4 = _mm_subs_epi16(v[3], v[4]);
    // Even part.
    const __m128i a = _mm_slli_epi16(t1, 3), b = _mm_slli_epi16(t2, 3);
    const __m128i sumA = _mm_subs_epi16(a, b), sumB = _mm_adds_epi16(a, b);
    const __m128i c = _mm_slli_epi16(_mm_subs_epi16(t0, t3), 3), d = _mm_slli_epi16(_mm_adds_epi16(t0, t3), 3);
    v[0] = _mm_adds_epi16(d, sumB);
    v[4] = _mm_subs_epi16(d, sumB);
    v[2] = _mm_or_si128(_mm_adds_epi16(c, _mm_mulhi_epi16(sumA, Lanes16(kTan2))), one);
    v[6] = _mm_or_si128(_mm_subs_epi16(_mm_mulhi_epi16(c, Lanes16(kTan2)), sumA), one);
    // Odd part.
    const __m128i p = _mm_slli_epi16(t6, 4), q = _mm_slli_epi16(t5, 4);
    const __m128i e = _mm_or_si128(_mm_mulhi_epi16(_mm_adds_epi16(p, q), Lanes16(kCos4)), one);
    const __m128i f = _mm_mulhi_epi16(_mm_subs_epi16(p, q), Lanes16(kCos4));
    const __m128i g = _mm_slli_epi16(t4, 3), h = _mm_slli_epi16(t7, 3);
    const __m128i g1 = _mm_adds_epi16(g, f), g2 = _mm_subs_epi16(g, f);
    const __m128i h1 = _mm_adds_epi16(h, e), h2 = _mm_subs_epi16(h, e);
    v[1] = _mm_or_si128(_mm_adds_epi16(_mm_mulhi_epi16(g1, Lanes16(kTan1)), h1), one);
    v[7] = _mm_subs_epi16(_mm_mulhi_epi16(h1, Lanes16(kTan1)), g1);
    v[3] = _mm_subs_epi16(h2, _mm_adds_epi16(_mm_mulhi_epi16(g2, Lanes16(kTan3m)), g2));
    v[5] = _mm_adds_epi16(_mm_adds_epi16(_mm_mulhi_epi16(h2, Lanes16(kTan3m)), h2), g2);
}

// The row transform of one intermediate row of pair `pair`.
inline __m128i RowPass(__m128i row, int pair) {
    const __m128i* w = reinterpret_cast<const __m128i*>(kRowWeights[pair].v);
    const __m128i reversed = _mm_shufflehi_epi16(row, _MM_SHUFFLE(0, 1, 2, 3));
    const __m128i low = _mm_unpacklo_epi64(reversed, reversed), high = _mm_unpackhi_epi64(reversed, reversed);
    const __m128i sd = _mm_unpacklo_epi32(_mm_adds_epi16(low, high), _mm_subs_epi16(low, high));
    const __m128i first = _mm_shuffle_epi32(sd, _MM_SHUFFLE(1, 0, 1, 0));
    const __m128i second = _mm_shuffle_epi32(sd, _MM_SHUFFLE(3, 2, 3, 2));
    const __m128i rounding = _mm_set1_epi32(1 << 19);
    const __m128i y03 = _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(first, w[0]), _mm_madd_epi16(second, w[1])), rounding);
    const __m128i y47 = _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(first, w[2]), _mm_madd_epi16(second, w[3])), rounding);
    return _mm_packs_epi32(_mm_srai_epi32(y03, 20), _mm_srai_epi32(y47, 20));
}

inline __m128i Load16(const int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i Load8(const void* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }

// Every source row is read before the destination is written, so the
// destination may be the source.
template <bool Wide>
inline void ForwardDctLanes(const int16_t* source, int16_t* destination) {
    __m128i rows[8];
    if constexpr (Wide) {
        for (int i = 0; i < 8; ++i) rows[i] = Load16(source + 8 * i);
        ColumnPass(rows);
    } else {
        __m128i right[8];
        for (int i = 0; i < 8; ++i) {
            rows[i] = Load8(source + 8 * i);
            right[i] = Load8(source + 8 * i + 4);
        }
        ColumnPass(rows);
        ColumnPass(right);
        for (int i = 0; i < 8; ++i) rows[i] = _mm_unpacklo_epi64(rows[i], right[i]);
    }
    for (int i = 0; i < 8; ++i) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 8 * i), RowPass(rows[i], kRowPair[i]));
    }
}

// table x source / 2^scale, ties to even, saturated, for scale 2..31:
// element i, at any byte address.
inline void QuantiseOne(const uint16_t* table, const int16_t* source, int16_t* destination, int32_t i, int32_t scale) {
    const int32_t product = static_cast<int32_t>(Element16(table, i)) * static_cast<int16_t>(Element16(source, i));
    const int32_t half = product >> 1;
    const int32_t bit = (half >> (scale - 1)) & 1;
    const int32_t r = (half + (((product & 1) + (1 << (scale - 1)) - 1 + bit) >> 1)) >> (scale - 1);
    SetElement16(destination, i, r < -32768 ? -32768 : (r > 32767 ? 32767 : r));
}

// The same for eight lanes (four used in the 64-bit build): floor(P / 2)
// by one signed multiply-add of (t >> 1, t & 1) with (s, s >> 1), then the
// rounding with the product's low bit and the bit at scale - 1.
inline __m128i QuantiseLanes(__m128i t, __m128i s, __m128i bias, __m128i shift) {
    const __m128i one16 = Lanes16(1), one32 = _mm_set1_epi32(1), zero = _mm_setzero_si128();
    const __m128i th = _mm_srli_epi16(t, 1), tl = _mm_and_si128(t, one16), sh = _mm_srai_epi16(s, 1);
    const __m128i low = _mm_and_si128(_mm_and_si128(t, s), one16);
    __m128i out[2];
    for (int half = 0; half < 2; ++half) {
        const __m128i h = half == 0 ? _mm_madd_epi16(_mm_unpacklo_epi16(th, tl), _mm_unpacklo_epi16(s, sh))
                                    : _mm_madd_epi16(_mm_unpackhi_epi16(th, tl), _mm_unpackhi_epi16(s, sh));
        const __m128i l = half == 0 ? _mm_unpacklo_epi16(low, zero) : _mm_unpackhi_epi16(low, zero);
        const __m128i bit = _mm_and_si128(_mm_sra_epi32(h, shift), one32);
        out[half] = _mm_sra_epi32(_mm_add_epi32(_mm_add_epi32(h, bias), _mm_or_si128(l, bit)), shift);
    }
    return _mm_packs_epi32(out[0], out[1]);
}

// Scalar below 15 values (7 in the 64-bit build); else a scalar head up to
// an aligned destination (none for an odd destination), lanes, a scalar
// tail. The 64-bit build streams its stores for more than 2048 lane values.
template <bool Wide>
inline void QuantiseRun(const uint16_t* table, const int16_t* source, int16_t* destination, int32_t count,
                        int32_t scale) {
    constexpr int32_t kLanes = Wide ? 8 : 4;
    int32_t i = 0;
    if (count >= (Wide ? 15 : 7)) {
        if ((Address(destination) & 1) == 0) {
            const uintptr_t boundary = Wide ? 16 : 8;
            const int32_t head =
                static_cast<int32_t>(((boundary - (Address(destination) & (boundary - 1))) / 2) & (kLanes - 1));
            for (; i < head; ++i) QuantiseOne(table, source, destination, i, scale);
        }
        const __m128i bias = _mm_set1_epi32((1 << (scale - 2)) - 1);
        const __m128i shift = _mm_cvtsi32_si128(scale - 1);
        if constexpr (Wide) {
            for (; i + 8 <= count; i += 8) {
                const __m128i q = QuantiseLanes(Load16(reinterpret_cast<const int16_t*>(table + i)), Load16(source + i),
                                                bias, shift);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), q);
            }
        } else {
            const bool streaming = count - i > 2048;
            for (; i + 4 <= count; i += 4) {
                if (streaming) {
                    _mm_prefetch(reinterpret_cast<const char*>(table + i) + 64, _MM_HINT_T0);
                    _mm_prefetch(reinterpret_cast<const char*>(source + i) + 64, _MM_HINT_T0);
                }
                const __m128i q = QuantiseLanes(Load8(table + i), Load8(source + i), bias, shift);
                if (streaming) {
                    _mm_stream_si64(reinterpret_cast<long long*>(destination + i), _mm_cvtsi128_si64(q));
                } else {
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(destination + i), q);
                }
            }
            if (streaming) _mm_sfence();
        }
    }
    for (; i < count; ++i) QuantiseOne(table, source, destination, i, scale);
}

// Widening row of indexes 2 to 5: single values up to a 16-byte boundary
// of the destination, then 32 values a step (streamed with the flag), one
// step of 16, the rest single.
inline void WidenRowLanes(const uint8_t* source, uint16_t* destination, int64_t count, bool nonTemporal) {
    int64_t i = 0;
    for (; i < count && (Address(destination + i) & 15) != 0; ++i) destination[i] = source[i];
    const __m128i zero = _mm_setzero_si128();
    for (; i + 32 <= count; i += 32) {
        for (int j = 0; j < 32; j += 8) {
            const __m128i v = _mm_unpacklo_epi8(Load8(source + i + j), zero);
            __m128i* d = reinterpret_cast<__m128i*>(destination + i + j);
            if (nonTemporal) {
                _mm_stream_si128(d, v);
            } else {
                _mm_store_si128(d, v);
            }
        }
    }
    if (nonTemporal) _mm_sfence();
    if (i + 16 <= count) {
        for (int j = 0; j < 16; j += 8) {
            _mm_store_si128(reinterpret_cast<__m128i*>(destination + i + j), _mm_unpacklo_epi8(Load8(source + i + j), zero));
        }
        i += 16;
    }
    for (; i < count; ++i) destination[i] = source[i];
}

}  // namespace
}  // namespace jpegkernels

// One level's forward DCT, quantiser and row-12 kernels. Wide: eight lanes;
// ReorderStep: entries per reordering pass; WidenRow: the level's widening
// row as (source, destination, count, non-temporal flag); ContiguousAbove and
// OtherFrom: the widening's non-temporal thresholds.
#define JPEGKERNELS_DEFINE_FDCT_LEVEL(Suffix, Wide, ReorderStep, WidenRow, ContiguousAbove, OtherFrom)         \
    namespace jpegkernels {                                                                                  \
    void ForwardDct8x8Core_##Suffix(const int16_t* source, int16_t* destination) {                            \
        ForwardDctLanes<Wide>(source, destination);                                                          \
    }                                                                                                        \
    void MultiplyScaled16_##Suffix(const uint16_t* table, const int16_t* source, int16_t* destination,        \
                                   int32_t count, int32_t scale) {                                           \
        QuantiseRun<Wide>(table, source, destination, count, scale);                                         \
    }                                                                                                        \
    KernelStatus ForwardDctQuant8x8_##Suffix(int16_t* block, const uint16_t* reciprocals) {                  \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::ForwardDctQuant8x8>::Run(block, reciprocals);     \
            s != kKernelOk) {                                                                                \
            return s;                                                                                        \
        }                                                                                                    \
        ForwardDctLanes<Wide>(block, block);                                                                 \
        QuantiseRun<Wide>(reciprocals, block, block, 64, 15);                                                \
        return kKernelOk;                                                                                    \
    }                                                                                                        \
    KernelStatus ConvertU8ToU16_##Suffix(const uint8_t* source, int32_t sourceStep, uint16_t* destination,    \
                                         int32_t destinationStep, int32_t width, int32_t height) {           \
        return WidenRectangle(source, sourceStep, destination, destinationStep, width, height,               \
                              ContiguousAbove, OtherFrom, WidenRow);                                          \
    }                                                                                                        \
    KernelStatus ZigzagToNatural16_##Suffix(const uint16_t* source, uint16_t* destination) {                  \
        return ReorderZigzag<ReorderStep>(source, destination);                                              \
    }                                                                                                        \
    KernelStatus DivideValueBy16InPlace_##Suffix(uint16_t value, uint16_t* array, int32_t count) {            \
        if (array == nullptr) return kKernelNullPointer;                                                     \
        if (count < 1) return kKernelSizeBelowOne;                                                           \
        return DivideValueBy16_##Suffix(array, value, array, count);                                         \
    }                                                                                                        \
    KernelStatus QuantTableInit_##Suffix(const uint8_t* zigzagTable, uint16_t* reciprocals) {                 \
        return PrepareQuantTable<ConvertU8ToU16_##Suffix, ZigzagToNatural16_##Suffix,                         \
                                 DivideValueBy16InPlace_##Suffix>(zigzagTable, reciprocals);                 \
    }                                                                                                        \
    }

// The lane builds' widening row, checked zero-fill and division (indexes 2
// to 5).
#define JPEGKERNELS_DEFINE_FDCT_LANE_HELPERS(Suffix)                                                           \
    namespace jpegkernels {                                                                                  \
    void ConvertU8ToU16Row_##Suffix(const uint8_t* source, uint16_t* destination, int64_t count,              \
                                    bool nonTemporal) {                                                      \
        WidenRowLanes(source, destination, count, nonTemporal);                                              \
    }                                                                                                        \
    KernelStatus KernelZero16Checked_##Suffix(int16_t* destination, int32_t count) {                         \
        return Zero16Checked<KernelZero_##Suffix, nullptr, 0>(destination, count);                           \
    }                                                                                                        \
    KernelStatus DivideValueBy16_##Suffix(const uint16_t* source, uint16_t value, uint16_t* destination,     \
                                          int32_t count) {                                                   \
        return DivideSingle<KernelZero16Checked_##Suffix>(source, value, destination, count);                \
    }                                                                                                        \
    }
