// SSE2 forms of the full-size inverse DCT, the clamped 8 x 8 store and the
// doubling of samples. The transform takes four columns (pass 1) or four
// rows (pass 2) per vector in 32-bit lanes that wrap like the portable form,
// so that every result matches it bit for bit.
#include <emmintrin.h>

#include <initializer_list>

#include "jpegdec/jpeg_context.h"
#include "jpegdec/jpeg_idct_butterfly.h"
#include "jpegdec/jpeg_simd.h"

namespace jpegdec {

namespace {

struct Vec {
    __m128i v;
};
inline Vec operator+(Vec a, Vec b) { return {_mm_add_epi32(a.v, b.v)}; }
inline Vec operator-(Vec a, Vec b) { return {_mm_sub_epi32(a.v, b.v)}; }

// The low 32 bits of each lane's product.
inline __m128i MulLo32(__m128i a, __m128i b) {
    const __m128i even = _mm_mul_epu32(a, b);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}
inline Vec M(Vec a, int32_t k) { return {_mm_srai_epi32(MulLo32(a.v, _mm_set1_epi32(k)), 8)}; }

inline void Transpose4(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i t0 = _mm_unpacklo_epi32(a, b), t1 = _mm_unpacklo_epi32(c, d);
    const __m128i t2 = _mm_unpackhi_epi32(a, b), t3 = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(t0, t1);
    b = _mm_unpackhi_epi64(t0, t1);
    c = _mm_unpacklo_epi64(t2, t3);
    d = _mm_unpackhi_epi64(t2, t3);
}

// lo[r] and hi[r] hold columns 0-3 and 4-7 of row r; afterwards they hold
// the transformed rows (before level shift).
inline void Transform(__m128i* lo, __m128i* hi) {
    Vec y[8];
    for (__m128i* half : {lo, hi}) {
        AanButterfly(Vec{half[0]}, Vec{half[1]}, Vec{half[2]}, Vec{half[3]}, Vec{half[4]},
                     Vec{half[5]}, Vec{half[6]}, Vec{half[7]}, y);
        for (int r = 0; r < 8; ++r) half[r] = y[r].v;
    }
    for (int g = 0; g < 8; g += 4) {
        __m128i a0 = lo[g], a1 = lo[g + 1], a2 = lo[g + 2], a3 = lo[g + 3];
        __m128i b0 = hi[g], b1 = hi[g + 1], b2 = hi[g + 2], b3 = hi[g + 3];
        Transpose4(a0, a1, a2, a3);
        Transpose4(b0, b1, b2, b3);
        AanButterfly(Vec{a0}, Vec{a1}, Vec{a2}, Vec{a3}, Vec{b0}, Vec{b1}, Vec{b2}, Vec{b3}, y);
        __m128i c[8];
        for (int i = 0; i < 8; ++i) c[i] = _mm_srai_epi32(y[i].v, 13);
        Transpose4(c[0], c[1], c[2], c[3]);
        Transpose4(c[4], c[5], c[6], c[7]);
        for (int i = 0; i < 4; ++i) {
            lo[g + i] = c[i];
            hi[g + i] = c[4 + i];
        }
    }
}

// Level shift, clamp to 0..255 and store eight bytes.
inline void StoreRow(__m128i lo, __m128i hi, uint8_t* out) {
    const __m128i words = _mm_adds_epi16(_mm_packs_epi32(lo, hi), _mm_set1_epi16(128));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}

}  // namespace

void IdctFastSse2(int32_t* values) {
    __m128i lo[8], hi[8];
    for (int r = 0; r < 8; ++r) {
        lo[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + 8 * r));
        hi[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + 8 * r + 4));
    }
    Transform(lo, hi);
    for (int r = 0; r < 8; ++r) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(values + 8 * r), lo[r]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(values + 8 * r + 4), hi[r]);
    }
}

void IdctFastProgressiveSse2(const int16_t* coefficients, const int32_t* multipliers, uint8_t* out,
                             uint32_t stride) {
    uint64_t nonzero = NonzeroMask64Sse2(coefficients);
    if ((nonzero & ~uint64_t{1}) == 0) {
        // Only the DC term: every output is (DC x multiplier) >> 13.
        const int32_t dc = static_cast<int32_t>(static_cast<uint32_t>(coefficients[0]) *
                                                static_cast<uint32_t>(multipliers[0])) >> 13;
        const uint8_t value = static_cast<uint8_t>(dc < -128 ? 0 : (dc > 127 ? 255 : dc + 128));
        const __m128i fill = _mm_set1_epi8(static_cast<char>(value));
        for (int r = 0; r < 8; ++r) _mm_storel_epi64(reinterpret_cast<__m128i*>(out + size_t{stride} * r), fill);
        return;
    }
    // Back to natural order; sparse blocks move only their non-zero terms.
    alignas(16) int16_t natural[64];
    if (__builtin_popcountll(nonzero) < 24) {
        for (int i = 0; i < 64; i += 8) _mm_store_si128(reinterpret_cast<__m128i*>(natural + i), _mm_setzero_si128());
        for (; nonzero; nonzero &= nonzero - 1) {
            const int k = __builtin_ctzll(nonzero);
            natural[kZigzagToNatural[k]] = coefficients[k];
        }
    } else {
        for (int i = 0; i < 64; ++i) natural[i] = coefficients[kNaturalToZigzag.at[i]];
    }
    __m128i lo[8], hi[8];
    for (int r = 0; r < 8; ++r) {
        const __m128i c = _mm_load_si128(reinterpret_cast<const __m128i*>(natural + 8 * r));
        const __m128i cl = _mm_srai_epi32(_mm_unpacklo_epi16(c, c), 16);
        const __m128i ch = _mm_srai_epi32(_mm_unpackhi_epi16(c, c), 16);
        lo[r] = MulLo32(cl, _mm_loadu_si128(reinterpret_cast<const __m128i*>(multipliers + 8 * r)));
        hi[r] = MulLo32(ch, _mm_loadu_si128(reinterpret_cast<const __m128i*>(multipliers + 8 * r + 4)));
    }
    Transform(lo, hi);
    for (int r = 0; r < 8; ++r) StoreRow(lo[r], hi[r], out + size_t{stride} * r);
}

void StoreBlock8x8Sse2(const int32_t* values, uint8_t* out, uint32_t stride) {
    for (int r = 0; r < 8; ++r)
        StoreRow(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values + 8 * r)),
                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + 8 * r + 4)),
                 out + size_t{stride} * r);
}

void DoubleSamplesSse2(uint8_t* row, uint32_t n) {
    uint32_t i = n;
    // Each chunk's copies land at or right of the chunk itself, and chunks
    // go from the right: nothing is overwritten before it is read.
    while (i >= 16) {
        i -= 16;
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 2 * size_t{i} + 16), _mm_unpackhi_epi8(v, v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 2 * size_t{i}), _mm_unpacklo_epi8(v, v));
    }
    while (i-- > 0) row[2 * size_t{i}] = row[2 * size_t{i} + 1] = row[i];
}

uint64_t NonzeroMask64Sse2(const int16_t* values) {
    const __m128i zero = _mm_setzero_si128();
    uint64_t mask = 0;
    for (int i = 0; i < 64; i += 16) {
        const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values + i)), zero);
        const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values + i + 8)), zero);
        const uint32_t zeros = static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
        mask |= uint64_t{~zeros & 0xFFFF} << i;
    }
    return mask;
}

}  // namespace jpegdec
