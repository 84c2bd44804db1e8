#include "vrx/core/colormatrix/vrx_colormatrix3x3_simd.h"

#if defined(__SSSE3__)
#include <tmmintrin.h>

#include "vrx/core/colormatrix/vrx_colormatrix3x3_lanes.h"
#endif

namespace vrx {

#if defined(__SSSE3__)

namespace {

// One 128-bit lane: 16 pixels a step.
struct Ssse3 {
    using V = __m128i;
    static constexpr size_t kPixels = 16;
    static V zero() { return _mm_setzero_si128(); }
    static V set1(int32_t v) { return _mm_set1_epi32(v); }
    static V lanes(const int8_t* bytes) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    }
    static V load(const uint8_t* in, int b) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * b));
    }
    static void store(uint8_t* out, int b, V v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * b), v);
    }
    static V shuffle(V v, V mask) { return _mm_shuffle_epi8(v, mask); }
    static V or_(V a, V b) { return _mm_or_si128(a, b); }
    static V unpacklo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
    static V unpackhi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
    static V unpacklo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
    static V unpackhi16(V a, V b) { return _mm_unpackhi_epi16(a, b); }
    static V madd(V a, V b) { return _mm_madd_epi16(a, b); }
    static V add(V a, V b) { return _mm_add_epi32(a, b); }
    static V sra12(V v) { return _mm_srai_epi32(v, 12); }
    static V packs32(V a, V b) { return _mm_packs_epi32(a, b); }
    static V packus16(V a, V b) { return _mm_packus_epi16(a, b); }
};

}  // namespace

bool colormatrix3x3_ssse3_available() { return __builtin_cpu_supports("ssse3"); }

size_t colormatrix3x3_q12_u8_ssse3(const uint8_t* in, uint8_t* out, size_t width,
                                   const int16_t m[9], const int32_t k[3]) {
    return detail::colormatrix3x3_lanes<Ssse3>(in, out, width, m, k);
}

#else

bool colormatrix3x3_ssse3_available() { return false; }

size_t colormatrix3x3_q12_u8_ssse3(const uint8_t*, uint8_t*, size_t, const int16_t*,
                                   const int32_t*) {
    return 0;
}

#endif

}  // namespace vrx
