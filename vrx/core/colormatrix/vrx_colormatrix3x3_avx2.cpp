#include "vrx/core/colormatrix/vrx_colormatrix3x3_simd.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include "vrx/core/colormatrix/vrx_colormatrix3x3_lanes.h"
#endif

namespace vrx {

#if defined(__AVX2__)

namespace {

// Two 128-bit lanes, each with its own 48 bytes: 32 pixels a step. Every
// shuffle, unpack and pack of AVX2 stays within its lane.
struct Avx2 {
    using V = __m256i;
    static constexpr size_t kPixels = 32;
    static V zero() { return _mm256_setzero_si256(); }
    static V set1(int32_t v) { return _mm256_set1_epi32(v); }
    static V lanes(const int8_t* bytes) {
        return _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }
    static V load(const uint8_t* in, int b) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * b));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 48 + 16 * b));
        return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
    }
    static void store(uint8_t* out, int b, V v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * b), _mm256_castsi256_si128(v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 48 + 16 * b),
                         _mm256_extracti128_si256(v, 1));
    }
    static V shuffle(V v, V mask) { return _mm256_shuffle_epi8(v, mask); }
    static V or_(V a, V b) { return _mm256_or_si256(a, b); }
    static V unpacklo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
    static V unpackhi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
    static V unpacklo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
    static V unpackhi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
    static V madd(V a, V b) { return _mm256_madd_epi16(a, b); }
    static V add(V a, V b) { return _mm256_add_epi32(a, b); }
    static V sra12(V v) { return _mm256_srai_epi32(v, 12); }
    static V packs32(V a, V b) { return _mm256_packs_epi32(a, b); }
    static V packus16(V a, V b) { return _mm256_packus_epi16(a, b); }
};

}  // namespace

bool colormatrix3x3_avx2_available() { return __builtin_cpu_supports("avx2"); }

size_t colormatrix3x3_q12_u8_avx2(const uint8_t* in, uint8_t* out, size_t width,
                                  const int16_t m[9], const int32_t k[3]) {
    return detail::colormatrix3x3_lanes<Avx2>(in, out, width, m, k);
}

#else

bool colormatrix3x3_avx2_available() { return false; }

size_t colormatrix3x3_q12_u8_avx2(const uint8_t*, uint8_t*, size_t, const int16_t*,
                                  const int32_t*) {
    return 0;
}

#endif

}  // namespace vrx
