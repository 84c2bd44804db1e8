#pragma once
// The decoder's interleaving companion for processor indexes 1 to 5: three
// planes of 8-bit samples into interleaved pixels. Each level's translation
// unit includes this once and expands JPEGKERNELS_DEFINE_INTERLEAVE; the rest
// has internal linkage.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/colorconv/colorconv_kernels.h"

namespace jpegkernels {
namespace {

// Pixels from x on, one at a time: (c0[x], c1[x'], c2[x']), x' = x or x / 2.
inline void InterleaveTail(const uint8_t* c0, const uint8_t* c1, const uint8_t* c2, uint8_t* out, uint32_t x,
                           uint32_t n, uint32_t halved) {
    for (; x < n; ++x) {
        const uint32_t xc = x >> halved;
        out[3 * x] = c0[x];
        out[3 * x + 1] = c1[xc];
        out[3 * x + 2] = c2[xc];
    }
}

// Sixteen pixels a step in 64-bit lanes of two [c0 c1 c2 0] pixels; each
// 16-byte store of four pixels reaches 4 bytes into the next pixels, which
// are written after it, so that two pixels must follow a step.
inline void InterleaveUnpacked(const uint8_t* c0, const uint8_t* c1, const uint8_t* c2, uint8_t* out, uint32_t n,
                               uint32_t halved) {
    const __m128i zero = _mm_setzero_si128();
    // Of each 64-bit lane: the first pixel's bytes, and the second's moved
    // down one byte.
    const __m128i first = _mm_set1_epi64x(0x0000000000FFFFFFll);
    const __m128i second = _mm_set1_epi64x(0x0000FFFFFF000000ll);
    // Bytes 0-5 of the low lane, then bytes 0-5 of the high lane.
    const __m128i low6 = _mm_set_epi32(0, 0, 0x0000FFFF, -1);
    const __m128i high6 = _mm_set_epi32(0, -1, static_cast<int>(0xFFFF0000u), 0);
    auto chroma = [halved](const uint8_t* p, uint32_t x) {
        if (!halved) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
        const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + x / 2));
        return _mm_unpacklo_epi8(v, v);
    };
    uint32_t x = 0;
    for (; x + 17 < n; x += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c0 + x));
        const __m128i vb = chroma(c1, x);
        const __m128i vc = chroma(c2, x);
        const __m128i ab[2] = {_mm_unpacklo_epi8(va, vb), _mm_unpackhi_epi8(va, vb)};
        const __m128i c0s[2] = {_mm_unpacklo_epi8(vc, zero), _mm_unpackhi_epi8(vc, zero)};
        uint8_t* to = out + 3 * size_t{x};
        for (int h = 0; h < 2; ++h) {
            for (int q = 0; q < 2; ++q) {
                const __m128i quad = q ? _mm_unpackhi_epi16(ab[h], c0s[h]) : _mm_unpacklo_epi16(ab[h], c0s[h]);
                const __m128i lanes = _mm_or_si128(_mm_and_si128(quad, first),
                                                   _mm_and_si128(_mm_srli_epi64(quad, 8), second));
                const __m128i packed = _mm_or_si128(_mm_and_si128(lanes, low6),
                                                    _mm_and_si128(_mm_srli_si128(lanes, 2), high6));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 12 * (2 * h + q)), packed);
            }
        }
    }
    InterleaveTail(c0, c1, c2, out, x, n, halved);
}

}  // namespace
}  // namespace jpegkernels

#if defined(__SSSE3__)
#include <tmmintrin.h>

namespace jpegkernels {
namespace {

// Byte-shuffle masks of sixteen pixels: [halved][part][plane], output byte
// 16 part + i taking byte m of the plane's 16 loaded bytes (0x80: none).
struct InterleaveMasks {
    alignas(16) int8_t of[2][3][3][16];
};
constexpr InterleaveMasks MakeInterleaveMasks() {
    InterleaveMasks m{};
    for (int halved = 0; halved < 2; ++halved)
        for (int part = 0; part < 3; ++part)
            for (int plane = 0; plane < 3; ++plane)
                for (int i = 0; i < 16; ++i) {
                    const int j = 16 * part + i, pixel = j / 3;
                    const int source = plane > 0 && halved ? pixel / 2 : pixel;
                    m.of[halved][part][plane][i] = static_cast<int8_t>(j % 3 == plane ? source : 0x80);
                }
    return m;
}
constexpr InterleaveMasks kInterleaveMasks = MakeInterleaveMasks();

// Sixteen pixels a step, each 16-byte output part shuffled together from
// the three planes; nothing is written past the last pixel.
inline void InterleaveShuffled(const uint8_t* c0, const uint8_t* c1, const uint8_t* c2, uint8_t* out, uint32_t n,
                               uint32_t halved) {
    const auto& masks = kInterleaveMasks.of[halved ? 1 : 0];
    auto mask = [&](int part, int plane) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(masks[part][plane]));
    };
    auto chroma = [halved](const uint8_t* p, uint32_t x) {
        return halved ? _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + x / 2))
                      : _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
    };
    uint32_t x = 0;
    for (; x + 16 <= n; x += 16) {
        const __m128i planes[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(c0 + x)), chroma(c1, x),
                                   chroma(c2, x)};
        uint8_t* to = out + 3 * size_t{x};
        for (int part = 0; part < 3; ++part) {
            const __m128i v = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(planes[0], mask(part, 0)),
                                                        _mm_shuffle_epi8(planes[1], mask(part, 1))),
                                           _mm_shuffle_epi8(planes[2], mask(part, 2)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16 * part), v);
        }
    }
    InterleaveTail(c0, c1, c2, out, x, n, halved);
}

}  // namespace
}  // namespace jpegkernels
#endif

// The companion of one processor index; Routine is InterleaveUnpacked or
// (levels with byte shuffles) InterleaveShuffled.
#define JPEGKERNELS_DEFINE_INTERLEAVE(Suffix, Routine)                                                     \
    namespace jpegkernels {                                                                             \
    void InterleaveSamples3_##Suffix(const uint8_t* c0, const uint8_t* c1, const uint8_t* c2, uint8_t* out, \
                                     uint32_t n, uint32_t halved) {                                     \
        Routine(c0, c1, c2, out, n, halved);                                                            \
    }                                                                                                   \
    }
