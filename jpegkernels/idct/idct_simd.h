#pragma once
// Dequantisation and inverse DCT of processor indexes 1 to 5. Each level's
// translation unit includes this once and compiles its own copy with its own
// instruction set (internal linkage throughout).
//
// Dequantisation keeps the low 16 bits of each product (packed 16-bit
// multiply). The inverse DCT first transforms the rows: per row, weights of
// the row's pair (rows 0/4, 1/7, 2/6, 3/5) in 32-bit multiply-adds that wrap,
// a per-row rounder, an arithmetic shift by 11 and saturation to 16 bits.
// Then the columns, in saturating 16-bit arithmetic with high-half multiplies
// by tangent constants, each output shifted right by 6, so every sample lies
// in -512..511. The order of the saturating operations is part of the result.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace jpegkernels {
namespace {

// Weights W(k) = round(32768 cos(p pi/16) cos(k pi/16)) of a row pair p, in
// the order W(4), W(2), W(6), W(1), W(3), W(5), W(7).
struct RowWeights {
    int16_t w4, w2, w6, w1, w3, w5, w7;
};
constexpr RowWeights kPairWeights[4] = {
    {16384, 21407, 8867, 22725, 19266, 12873, 4520},   // rows 0, 4
    {22725, 29692, 12299, 31521, 26722, 17855, 6270},  // rows 1, 7
    {21407, 27969, 11585, 29692, 25172, 16819, 5906},  // rows 2, 6
    {19266, 25172, 10426, 26722, 22654, 15137, 5315},  // rows 3, 5
};
constexpr int kPairOfRow[8] = {0, 1, 2, 3, 0, 3, 2, 1};
constexpr int32_t kRowRounder[8] = {65536, 2901, 2260, 1704, 1024, 455, 512, 373};

// Column constants for the signed high multiply: tan(pi/16), tan(2pi/16),
// tan(3pi/16) - 1 and cos(pi/4) - 1, scaled by 65536.
constexpr int16_t kT1 = 13036;
constexpr int16_t kT2 = 27146;
constexpr int16_t kT3 = -21746;
constexpr int16_t kC4 = -19195;

// Per block row: the four 16-bit pair vectors of its multiply-adds, for the
// lane pairs (x0,x2), (x4,x6), (x1,x3), (x5,x7), and its rounder.
struct RowConstants {
    alignas(16) int16_t pairs[4][8];
    alignas(16) int32_t rounder[4];
};

constexpr RowConstants MakeRowConstants(int row) {
    const RowWeights w = kPairWeights[kPairOfRow[row]];
    const int16_t w4 = w.w4, w2 = w.w2, w6 = w.w6, w1 = w.w1, w3 = w.w3, w5 = w.w5, w7 = w.w7;
    RowConstants c{};
    // a_k = W(4)x0 +- W(2|6)x2 +- W(4)x4 +- W(6|2)x6, lanes k = 0..3.
    const int16_t c02[8] = {w4, w2, w4, w6, w4, static_cast<int16_t>(-w6), w4, static_cast<int16_t>(-w2)};
    const int16_t c46[8] = {w4, w6, static_cast<int16_t>(-w4), static_cast<int16_t>(-w2),
                            static_cast<int16_t>(-w4), w2, w4, static_cast<int16_t>(-w6)};
    // b_k from x1, x3, x5, x7.
    const int16_t c13[8] = {w1, w3, w3, static_cast<int16_t>(-w7), w5, static_cast<int16_t>(-w1), w7,
                            static_cast<int16_t>(-w5)};
    const int16_t c57[8] = {w5, w7, static_cast<int16_t>(-w1), static_cast<int16_t>(-w5), w7, w3, w3,
                            static_cast<int16_t>(-w1)};
    for (int i = 0; i < 8; ++i) {
        c.pairs[0][i] = c02[i];
        c.pairs[1][i] = c46[i];
        c.pairs[2][i] = c13[i];
        c.pairs[3][i] = c57[i];
    }
    for (int i = 0; i < 4; ++i) c.rounder[i] = kRowRounder[row];
    return c;
}

constexpr RowConstants kRowConstants[8] = {MakeRowConstants(0), MakeRowConstants(1), MakeRowConstants(2),
                                           MakeRowConstants(3), MakeRowConstants(4), MakeRowConstants(5),
                                           MakeRowConstants(6), MakeRowConstants(7)};

inline __m128i LoadConstant(const void* p) { return _mm_load_si128(static_cast<const __m128i*>(p)); }

// The first pass on one row held in the eight lanes of x.
inline __m128i RowPass(__m128i x, int row) {
    const RowConstants& k = kRowConstants[row];
    // Lanes as 32-bit pairs: (x0,x2) (x1,x3) (x4,x6) (x5,x7).
    const __m128i t = _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, _MM_SHUFFLE(3, 1, 2, 0)), _MM_SHUFFLE(3, 1, 2, 0));
    const __m128i p02 = _mm_shuffle_epi32(t, 0x00);
    const __m128i p13 = _mm_shuffle_epi32(t, 0x55);
    const __m128i p46 = _mm_shuffle_epi32(t, 0xAA);
    const __m128i p57 = _mm_shuffle_epi32(t, 0xFF);
    const __m128i a = _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(p02, LoadConstant(k.pairs[0])),
                                                  _mm_madd_epi16(p46, LoadConstant(k.pairs[1]))),
                                    LoadConstant(k.rounder));
    const __m128i b = _mm_add_epi32(_mm_madd_epi16(p13, LoadConstant(k.pairs[2])),
                                    _mm_madd_epi16(p57, LoadConstant(k.pairs[3])));
    const __m128i lo = _mm_srai_epi32(_mm_add_epi32(a, b), 11);                         // y0..y3
    const __m128i hi = _mm_shuffle_epi32(_mm_srai_epi32(_mm_sub_epi32(a, b), 11), 0x1B);  // y4..y7
    return _mm_packs_epi32(lo, hi);
}

inline __m128i MulHi(__m128i a, int16_t c) { return _mm_mulhi_epi16(a, _mm_set1_epi16(c)); }

// The second pass on the lanes of the eight intermediate rows, in place.
inline void ColumnPass(__m128i r[8]) {
    const __m128i u = _mm_adds_epi16(_mm_adds_epi16(MulHi(r[5], kT3), r[5]), r[3]);
    const __m128i v = _mm_subs_epi16(r[5], _mm_adds_epi16(MulHi(r[3], kT3), r[3]));
    const __m128i z = _mm_adds_epi16(MulHi(r[7], kT1), r[1]);
    const __m128i w = _mm_subs_epi16(MulHi(r[1], kT1), r[7]);
    const __m128i b0 = _mm_adds_epi16(u, z);
    const __m128i d = _mm_subs_epi16(z, u);
    const __m128i b3 = _mm_adds_epi16(w, v);
    const __m128i g = _mm_subs_epi16(w, v);
    const __m128i s = _mm_adds_epi16(d, g);
    const __m128i b1 = _mm_adds_epi16(s, MulHi(s, kC4));
    const __m128i s2 = _mm_subs_epi16(d, g);
    const __m128i b2 = _mm_adds_epi16(s2, MulHi(s2, kC4));
    const __m128i e = _mm_adds_epi16(MulHi(r[6], kT2), r[2]);
    const __m128i f = _mm_subs_epi16(MulHi(r[2], kT2), r[6]);
    const __m128i tp = _mm_adds_epi16(r[4], r[0]);
    const __m128i tm = _mm_subs_epi16(r[0], r[4]);
    const __m128i a0 = _mm_adds_epi16(tp, e);
    const __m128i a3 = _mm_subs_epi16(tp, e);
    const __m128i a1 = _mm_adds_epi16(tm, f);
    const __m128i a2 = _mm_subs_epi16(tm, f);
    r[0] = _mm_srai_epi16(_mm_adds_epi16(a0, b0), 6);
    r[1] = _mm_srai_epi16(_mm_adds_epi16(a1, b1), 6);
    r[2] = _mm_srai_epi16(_mm_adds_epi16(a2, b2), 6);
    r[3] = _mm_srai_epi16(_mm_adds_epi16(a3, b3), 6);
    r[4] = _mm_srai_epi16(_mm_subs_epi16(a3, b3), 6);
    r[5] = _mm_srai_epi16(_mm_subs_epi16(a2, b2), 6);
    r[6] = _mm_srai_epi16(_mm_subs_epi16(a1, b1), 6);
    r[7] = _mm_srai_epi16(_mm_subs_epi16(a0, b0), 6);
}

inline __m128i Load8(const int16_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
inline void Store8(int16_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
inline __m128i LoadRow8x2(const int16_t* p) { return _mm_unpacklo_epi64(Load8(p), Load8(p + 4)); }
inline void StoreRow8x2(int16_t* p, __m128i v) {
    Store8(p, v);
    Store8(p + 4, _mm_unpackhi_epi64(v, v));
}
inline bool Aligned16(const void* p) { return (reinterpret_cast<uintptr_t>(p) & 15) == 0; }

// Low 16 bits of each product, 16 values a step, each step announcing the
// 32 bytes of coefficients that follow its own.
inline void DequantWrap(const int16_t* coefficients, int16_t* output, const int16_t* table) {
    for (int i = 0; i < 64; i += 16) {
        if (i + 16 < 64) _mm_prefetch(reinterpret_cast<const char*>(coefficients + i + 16), _MM_HINT_T0);
        const __m128i c0 = LoadRow8x2(coefficients + i);
        const __m128i c1 = LoadRow8x2(coefficients + i + 8);
        const __m128i q0 = LoadRow8x2(table + i);
        const __m128i q1 = LoadRow8x2(table + i + 8);
        StoreRow8x2(output + i, _mm_mullo_epi16(c0, q0));
        StoreRow8x2(output + i + 8, _mm_mullo_epi16(c1, q1));
    }
}

// Rows one at a time, then the columns in two halves of four lanes; 8-byte
// loads and stores only.
inline void InverseDctNarrow(const int16_t* input, int16_t* output) {
    for (int row = 0; row < 8; ++row) StoreRow8x2(output + 8 * row, RowPass(LoadRow8x2(input + 8 * row), row));
    for (int half = 0; half < 8; half += 4) {
        __m128i r[8];
        for (int i = 0; i < 8; ++i) r[i] = Load8(output + 8 * i + half);
        ColumnPass(r);
        for (int i = 0; i < 8; ++i) Store8(output + 8 * i + half, r[i]);
    }
}

// Rows two at a time in their pairs, then all eight columns at once. Aligned
// blocks take 16-byte accesses; an unaligned output goes through an aligned
// work area on the stack.
inline void InverseDctWide(const int16_t* input, int16_t* output) {
    alignas(16) int16_t work[64];
    const bool inAligned = Aligned16(input);
    const bool outAligned = Aligned16(output);
    int16_t* pass1 = outAligned ? output : work;
    static constexpr int kOrder[8] = {0, 4, 1, 7, 3, 5, 2, 6};
    for (int k = 0; k < 8; k += 2) {
        const int ra = kOrder[k], rb = kOrder[k + 1];
        __m128i xa, xb;
        if (inAligned) {
            xa = _mm_load_si128(reinterpret_cast<const __m128i*>(input + 8 * ra));
            xb = _mm_load_si128(reinterpret_cast<const __m128i*>(input + 8 * rb));
        } else {
            xa = LoadRow8x2(input + 8 * ra);
            xb = LoadRow8x2(input + 8 * rb);
        }
        const __m128i ya = RowPass(xa, ra);
        const __m128i yb = RowPass(xb, rb);
        _mm_store_si128(reinterpret_cast<__m128i*>(pass1 + 8 * ra), ya);
        _mm_store_si128(reinterpret_cast<__m128i*>(pass1 + 8 * rb), yb);
    }
    __m128i r[8];
    for (int i = 0; i < 8; ++i) r[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(pass1 + 8 * i));
    ColumnPass(r);
    if (outAligned) {
        for (int i = 0; i < 8; ++i) _mm_store_si128(reinterpret_cast<__m128i*>(output + 8 * i), r[i]);
    } else {
        for (int i = 0; i < 8; ++i) StoreRow8x2(output + 8 * i, r[i]);
    }
}

// True when the 128 bytes at a and at b share a byte.
inline bool BlocksOverlap(const void* a, const void* b) {
    const uintptr_t x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
    return x < y + 128 && y < x + 128;
}

// True when row 13 can run in registers: the coefficients are the output
// block or apart from it, and the table is apart from it. Any other overlap
// takes the two-step path, whose results depend on its order of accesses.
inline bool RegistersApply(const int16_t* coefficients, const int16_t* output, const int16_t* table) {
    return (coefficients == output || !BlocksOverlap(coefficients, output)) && !BlocksOverlap(table, output);
}

// Row 13 in registers: each coefficient row is dequantised as it is loaded
// and goes straight into the first pass; the eight intermediate rows stay
// in registers for the second pass, which leaves the sample rows in r. The
// results are those of DequantWrap followed by the inverse DCT. Wide takes
// 16-byte loads, else two 8-byte loads per row.
template <bool Wide>
inline void TransformInRegisters(const int16_t* coefficients, const int16_t* table, __m128i r[8]) {
    for (int row = 0; row < 8; ++row) {
        const int16_t* c = coefficients + 8 * row;
        const int16_t* q = table + 8 * row;
        const __m128i x = Wide ? _mm_mullo_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c)),
                                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)))
                               : _mm_mullo_epi16(LoadRow8x2(c), LoadRow8x2(q));
        r[row] = RowPass(x, row);
    }
    ColumnPass(r);
}

template <bool Wide>
inline void DequantInverseDctRegisters(const int16_t* coefficients, int16_t* output, const int16_t* table) {
    __m128i r[8];
    TransformInRegisters<Wide>(coefficients, table, r);
    for (int i = 0; i < 8; ++i) {
        if (Wide) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(output + 8 * i), r[i]);
        } else {
            StoreRow8x2(output + 8 * i, r[i]);
        }
    }
}

// The same with the samples sign-extended to 32 bits as they are stored.
// Every input is read before the first store, so the output may be the
// storage of the coefficients or of the table.
template <bool Wide>
inline void DequantInverseDctRegistersTo32(const int16_t* coefficients, int32_t* output, const int16_t* table) {
    __m128i r[8];
    TransformInRegisters<Wide>(coefficients, table, r);
    for (int i = 0; i < 8; ++i) {
        const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(r[i], r[i]), 16);
        const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(r[i], r[i]), 16);
        int32_t* o = output + 8 * i;
        if (Wide) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o), low);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 4), high);
        } else {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o), low);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 2), _mm_unpackhi_epi64(low, low));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 4), high);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 6), _mm_unpackhi_epi64(high, high));
        }
    }
}

// The samples of the registers path level-shifted and clamped as the block
// writer below leaves them (they lie in -512..511), two rows a step.
template <bool Wide>
inline void DequantInverseDctRegistersToPatch(const int16_t* coefficients, const int16_t* table,
                                              uint8_t* destination, ptrdiff_t stride) {
    __m128i r[8];
    TransformInRegisters<Wide>(coefficients, table, r);
    const __m128i shift = _mm_set1_epi16(128);
    for (int y = 0; y < 8; y += 2) {
        const __m128i bytes = _mm_packus_epi16(_mm_adds_epi16(r[y], shift), _mm_adds_epi16(r[y + 1], shift));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(destination + y * stride), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(destination + (y + 1) * stride), _mm_unpackhi_epi64(bytes, bytes));
    }
}

// The block writer's patch, eight samples a step: saturated to 16 bits,
// plus 128 saturated, then to 0..255: x + 128 clamped for every 32-bit x.
template <bool Wide>
inline void WriteBlockLanes(const int32_t* samples, uint8_t* destination, ptrdiff_t stride) {
    const __m128i shift = _mm_set1_epi16(128);
    auto load4 = [](const int32_t* p) {
        return Wide ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))
                    : _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                         _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 2)));
    };
    for (int y = 0; y < 8; ++y) {
        const __m128i low = load4(samples + 8 * y);
        const __m128i high = load4(samples + 8 * y + 4);
        const __m128i words = _mm_adds_epi16(_mm_packs_epi32(low, high), shift);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(destination + y * stride), _mm_packus_epi16(words, words));
    }
}

}  // namespace
}  // namespace jpegkernels

// Defines the inverse DCT and the row-13 entry of one processor index 2..5.
#define JPEGKERNELS_DEFINE_WIDE_IDCT(Suffix)                                                              \
    namespace jpegkernels {                                                                               \
    void InverseDct8x8_##Suffix(const int16_t* input, int16_t* output) { InverseDctWide(input, output); }  \
    KernelStatus DequantInverseDct8x8_##Suffix(const int16_t* coefficients, int16_t* output,              \
                                               const int16_t* quantTable) {                               \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::DequantInverseDct8x8>::Run(                   \
                coefficients, output, quantTable);                                                        \
            s != kKernelOk) {                                                                             \
            return s;                                                                                     \
        }                                                                                                 \
        if (RegistersApply(coefficients, output, quantTable)) {                                           \
            DequantInverseDctRegisters<true>(coefficients, output, quantTable);                           \
        } else {                                                                                          \
            DequantWrap(coefficients, output, quantTable);                                                \
            InverseDct8x8_##Suffix(output, output);                                                       \
        }                                                                                                 \
        return kKernelOk;                                                                                 \
    }                                                                                                     \
    KernelStatus DequantInverseDct8x8To32_##Suffix(const int16_t* coefficients, int32_t* output,          \
                                                   const int16_t* quantTable) {                           \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::DequantInverseDct8x8>::Run(                   \
                coefficients, reinterpret_cast<int16_t*>(output), quantTable);                            \
            s != kKernelOk) {                                                                             \
            return s;                                                                                     \
        }                                                                                                 \
        DequantInverseDctRegistersTo32<true>(coefficients, output, quantTable);                           \
        return kKernelOk;                                                                                 \
    }                                                                                                     \
    void WriteBlock8x8_##Suffix(const int32_t* samples, uint8_t* destination, ptrdiff_t stride) {        \
        WriteBlockLanes<true>(samples, destination, stride);                                              \
    }                                                                                                     \
    KernelStatus DequantInverseDct8x8ToPatch_##Suffix(const int16_t* coefficients, const int16_t* quantTable, \
                                                      uint8_t* destination, ptrdiff_t stride) {           \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::DequantInverseDct8x8>::Run(                   \
                coefficients, reinterpret_cast<int16_t*>(destination), quantTable);                       \
            s != kKernelOk) {                                                                             \
            return s;                                                                                     \
        }                                                                                                 \
        DequantInverseDctRegistersToPatch<true>(coefficients, quantTable, destination, stride);           \
        return kKernelOk;                                                                                 \
    }                                                                                                     \
    }
