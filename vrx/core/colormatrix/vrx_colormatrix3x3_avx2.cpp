#include "vrx/core/colormatrix/vrx_colormatrix3x3_simd.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace vrx {

#if defined(__AVX2__)

namespace {

// The SSSE3 kernel's steps on two 16-pixel halves at once: each 128-bit lane
// holds its own 48 bytes, and every shuffle, unpack and pack stays within
// its lane. Byte j of both lanes picks byte index(j) of its lane, or none.
template <class Index>
__m256i shuffle(Index index) {
    alignas(16) int8_t bytes[16];
    for (int j = 0; j < 16; ++j) bytes[j] = static_cast<int8_t>(index(j));
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(bytes)));
}

struct Shuffles {
    __m256i from[3][3];  // [plane][block]: every third byte from c
    __m256i to[3][3];    // [block][plane]: the planes back into 48 bytes
    Shuffles() {
        for (int c = 0; c < 3; ++c)
            for (int b = 0; b < 3; ++b) {
                from[c][b] = shuffle([&](int j) {
                    const int source = 3 * j + c - 16 * b;
                    return source >= 0 && source < 16 ? source : -1;
                });
                to[b][c] = shuffle([&](int j) {
                    const int byte = 16 * b + j;
                    return byte % 3 == c ? byte / 3 : -1;
                });
            }
    }
};

// Bytes 16 b .. 16 b + 15 of the first 48 in the low lane, of the next 48
// in the high lane.
inline __m256i load_block(const uint8_t* in, int b) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * b));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 48 + 16 * b));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

inline void store_block(uint8_t* out, int b, __m256i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * b), _mm256_castsi256_si128(v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 48 + 16 * b), _mm256_extracti128_si256(v, 1));
}

}  // namespace

bool colormatrix3x3_avx2_available() { return __builtin_cpu_supports("avx2"); }

size_t colormatrix3x3_q12_u8_avx2(const uint8_t* in, uint8_t* out, size_t width, const int16_t m[9],
                                  const int32_t k[3]) {
    static const Shuffles s;
    const __m256i zero = _mm256_setzero_si256();
    __m256i rg[3], b0[3], kk[3];
    for (int r = 0; r < 3; ++r) {
        rg[r] = _mm256_set1_epi32(static_cast<int32_t>(
            static_cast<uint16_t>(m[3 * r]) | uint32_t{static_cast<uint16_t>(m[3 * r + 1])} << 16));
        b0[r] = _mm256_set1_epi32(static_cast<uint16_t>(m[3 * r + 2]));
        kk[r] = _mm256_set1_epi32(k[r] + 2048);  // the rounding term folded in
    }
    const size_t steps = width / 32;
    for (size_t i = 0; i < steps; ++i, in += 96, out += 96) {
        const __m256i a = load_block(in, 0), b = load_block(in, 1), c = load_block(in, 2);
        __m256i plane[3];
        for (int p = 0; p < 3; ++p)
            plane[p] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(a, s.from[p][0]),
                                                       _mm256_shuffle_epi8(b, s.from[p][1])),
                                       _mm256_shuffle_epi8(c, s.from[p][2]));
        const __m256i r_lo = _mm256_unpacklo_epi8(plane[0], zero);
        const __m256i r_hi = _mm256_unpackhi_epi8(plane[0], zero);
        const __m256i g_lo = _mm256_unpacklo_epi8(plane[1], zero);
        const __m256i g_hi = _mm256_unpackhi_epi8(plane[1], zero);
        const __m256i b_lo = _mm256_unpacklo_epi8(plane[2], zero);
        const __m256i b_hi = _mm256_unpackhi_epi8(plane[2], zero);
        const __m256i pairs[4] = {
            _mm256_unpacklo_epi16(r_lo, g_lo), _mm256_unpackhi_epi16(r_lo, g_lo),
            _mm256_unpacklo_epi16(r_hi, g_hi), _mm256_unpackhi_epi16(r_hi, g_hi)};
        const __m256i blue[4] = {
            _mm256_unpacklo_epi16(b_lo, zero), _mm256_unpackhi_epi16(b_lo, zero),
            _mm256_unpacklo_epi16(b_hi, zero), _mm256_unpackhi_epi16(b_hi, zero)};
        __m256i result[3];
        for (int r = 0; r < 3; ++r) {
            __m256i q[4];
            for (int n = 0; n < 4; ++n)
                q[n] = _mm256_srai_epi32(
                    _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(pairs[n], rg[r]),
                                                      _mm256_madd_epi16(blue[n], b0[r])),
                                     kk[r]),
                    12);
            result[r] =
                _mm256_packus_epi16(_mm256_packs_epi32(q[0], q[1]), _mm256_packs_epi32(q[2], q[3]));
        }
        for (int blk = 0; blk < 3; ++blk)
            store_block(
                out, blk,
                _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(result[0], s.to[blk][0]),
                                                _mm256_shuffle_epi8(result[1], s.to[blk][1])),
                                _mm256_shuffle_epi8(result[2], s.to[blk][2])));
    }
    return steps * 32;
}

#else

bool colormatrix3x3_avx2_available() { return false; }

size_t colormatrix3x3_q12_u8_avx2(const uint8_t*, uint8_t*, size_t, const int16_t*,
                                  const int32_t*) {
    return 0;
}

#endif

}  // namespace vrx
