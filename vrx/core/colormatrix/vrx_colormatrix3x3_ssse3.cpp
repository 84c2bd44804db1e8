#include "vrx/core/colormatrix/vrx_colormatrix3x3_simd.h"

#if defined(__SSSE3__)
#include <tmmintrin.h>
#endif

namespace vrx {

#if defined(__SSSE3__)

namespace {

// Byte j of the 16 picks byte index(j) of a 16-byte block, or none (-1).
template <class Index>
__m128i shuffle(Index index) {
    alignas(16) int8_t bytes[16];
    for (int j = 0; j < 16; ++j) bytes[j] = static_cast<int8_t>(index(j));
    return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
}

// Gathers plane `c` (every third byte from c) of 48 interleaved bytes:
// block b holds the bytes 16 b .. 16 b + 15.
struct Deinterleave {
    __m128i from[3][3];  // [plane][block]
    Deinterleave() {
        for (int c = 0; c < 3; ++c)
            for (int b = 0; b < 3; ++b)
                from[c][b] = shuffle([&](int j) {
                    const int source = 3 * j + c - 16 * b;
                    return source >= 0 && source < 16 ? source : -1;
                });
    }
};

// Scatters the three planes back: output block b from plane c.
struct Interleave {
    __m128i to[3][3];  // [block][plane]
    Interleave() {
        for (int b = 0; b < 3; ++b)
            for (int c = 0; c < 3; ++c)
                to[b][c] = shuffle([&](int j) {
                    const int byte = 16 * b + j;
                    return byte % 3 == c ? byte / 3 : -1;
                });
    }
};

}  // namespace

bool colormatrix3x3_ssse3_available() { return __builtin_cpu_supports("ssse3"); }

size_t colormatrix3x3_q12_u8_ssse3(const uint8_t* in, uint8_t* out, size_t width,
                                   const int16_t m[9], const int32_t k[3]) {
    static const Deinterleave split;
    static const Interleave join;
    const __m128i zero = _mm_setzero_si128();
    __m128i rg[3], b0[3], kk[3];
    for (int r = 0; r < 3; ++r) {
        // Pairs (m0, m1) against (R, G) and (m2, 0) against (B, 0).
        rg[r] = _mm_set1_epi32(static_cast<int32_t>(
            static_cast<uint16_t>(m[3 * r]) | uint32_t{static_cast<uint16_t>(m[3 * r + 1])} << 16));
        b0[r] = _mm_set1_epi32(static_cast<uint16_t>(m[3 * r + 2]));
        kk[r] = _mm_set1_epi32(k[r] + 2048);  // the rounding term folded in
    }
    const size_t blocks = width / 16;
    for (size_t i = 0; i < blocks; ++i, in += 48, out += 48) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32));
        __m128i plane[3];
        for (int p = 0; p < 3; ++p)
            plane[p] = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, split.from[p][0]),
                                                 _mm_shuffle_epi8(b, split.from[p][1])),
                                    _mm_shuffle_epi8(c, split.from[p][2]));
        const __m128i r_lo = _mm_unpacklo_epi8(plane[0], zero);
        const __m128i r_hi = _mm_unpackhi_epi8(plane[0], zero);
        const __m128i g_lo = _mm_unpacklo_epi8(plane[1], zero);
        const __m128i g_hi = _mm_unpackhi_epi8(plane[1], zero);
        const __m128i b_lo = _mm_unpacklo_epi8(plane[2], zero);
        const __m128i b_hi = _mm_unpackhi_epi8(plane[2], zero);
        const __m128i pairs[4] = {_mm_unpacklo_epi16(r_lo, g_lo), _mm_unpackhi_epi16(r_lo, g_lo),
                                  _mm_unpacklo_epi16(r_hi, g_hi), _mm_unpackhi_epi16(r_hi, g_hi)};
        const __m128i blue[4] = {_mm_unpacklo_epi16(b_lo, zero), _mm_unpackhi_epi16(b_lo, zero),
                                 _mm_unpacklo_epi16(b_hi, zero), _mm_unpackhi_epi16(b_hi, zero)};
        __m128i result[3];
        for (int r = 0; r < 3; ++r) {
            __m128i q[4];
            for (int n = 0; n < 4; ++n) {
                const __m128i v = _mm_add_epi32(
                    _mm_add_epi32(_mm_madd_epi16(pairs[n], rg[r]), _mm_madd_epi16(blue[n], b0[r])),
                    kk[r]);
                q[n] = _mm_srai_epi32(v, 12);
            }
            // Saturating packs clamp to 0 .. 255.
            result[r] = _mm_packus_epi16(_mm_packs_epi32(q[0], q[1]), _mm_packs_epi32(q[2], q[3]));
        }
        for (int blk = 0; blk < 3; ++blk) {
            const __m128i bytes =
                _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(result[0], join.to[blk][0]),
                                          _mm_shuffle_epi8(result[1], join.to[blk][1])),
                             _mm_shuffle_epi8(result[2], join.to[blk][2]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * blk), bytes);
        }
    }
    return blocks * 16;
}

#else

bool colormatrix3x3_ssse3_available() { return false; }

size_t colormatrix3x3_q12_u8_ssse3(const uint8_t*, uint8_t*, size_t, const int16_t*,
                                   const int32_t*) {
    return 0;
}

#endif

}  // namespace vrx
