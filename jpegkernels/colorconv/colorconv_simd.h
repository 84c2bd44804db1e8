#pragma once
// Rows 1 to 6 of processor indexes 1 to 5. Each level's translation unit
// includes this once and expands JPEGKERNELS_DEFINE_COLORCONV_LEVEL; the
// rest has internal linkage.
//
// Pixels are taken four at a time as 16-bit lanes R, G, B, x per pixel, x
// being a byte that meets a weight of 0 (the next pixel's R, or 0 at the end
// of an MCU row). The wide kernels load 16 bytes and pick the pixels at
// their 3-byte offsets; the narrow ones load 4 bytes per pixel. Neither
// reads a byte past the last sample of an MCU row: the last group of a row
// is loaded so that it ends there.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/colorconv/colorconv_generic.h"
#include "jpegkernels/colorconv/colorconv_kernels.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

// Four pixels: lo holds pixels 0 and 1, hi pixels 2 and 3.
struct Quad {
    __m128i lo, hi;
};

// Two pixels at p as 8 bytes; at the end of a row the second pixel is put
// together from a 2-byte and a 1-byte load.
inline __m128i PixelPair(const uint8_t* p, bool last) {
    const uint32_t second = last ? (Get16(p + 3) | static_cast<uint32_t>(p[5]) << 16) : Get32(p + 3);
    return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int32_t>(Get32(p))),
                              _mm_cvtsi32_si128(static_cast<int32_t>(second)));
}

// The four pixels at p..p+11; `last` when they end the MCU row.
template <bool Wide>
inline Quad LoadQuad(const uint8_t* p, bool last) {
    __m128i bytes;
    if constexpr (Wide) {
        const __m128i v = last ? _mm_srli_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 4)), 4)
                               : _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        bytes = _mm_unpacklo_epi64(_mm_unpacklo_epi32(v, _mm_srli_si128(v, 3)),
                                   _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9)));
    } else {
        bytes = _mm_unpacklo_epi64(PixelPair(p, false), PixelPair(p + 6, last));
    }
    const __m128i zero = _mm_setzero_si128();
    return {_mm_unpacklo_epi8(bytes, zero), _mm_unpackhi_epi8(bytes, zero)};
}

// The N quads of one MCU row (N = 2 for 8 pixels, 4 for 16).
template <bool Wide, int N>
inline void LoadRow(const uint8_t* row, Quad* q) {
    for (int i = 0; i < N; ++i) q[i] = LoadQuad<Wide>(row + 12 * i, i == N - 1);
}

inline Quad AddQuads(const Quad& a, const Quad& b) {
    return {_mm_add_epi16(a.lo, b.lo), _mm_add_epi16(a.hi, b.hi)};
}

// Pixel pairs summed: [p0 + p1 | p2 + p3].
inline __m128i PairSums(const Quad& q) {
    return _mm_add_epi16(_mm_unpacklo_epi64(q.lo, q.hi), _mm_unpackhi_epi64(q.lo, q.hi));
}

// [a0 b0 a1 b1], [a2 b2 a3 b3] -> [a0 + b0, a1 + b1, a2 + b2, a3 + b3].
inline __m128i AddPairs(__m128i m0, __m128i m1) {
    const __m128 f0 = _mm_castsi128_ps(m0), f1 = _mm_castsi128_ps(m1);
    return _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(f0, f1, _MM_SHUFFLE(2, 0, 2, 0))),
                         _mm_castps_si128(_mm_shuffle_ps(f0, f1, _MM_SHUFFLE(3, 1, 3, 1))));
}

// Weighted sums of the four pixels (or pixel sums) of two vectors.
inline __m128i Weigh(__m128i a, __m128i b, __m128i weights) {
    return AddPairs(_mm_madd_epi16(a, weights), _mm_madd_epi16(b, weights));
}

// (sums + offset) >> shift for eight values, narrowed with saturation.
inline __m128i Narrow(__m128i s0, __m128i s1, __m128i offset, int shift) {
    const __m128i count = _mm_cvtsi32_si128(shift);
    return _mm_packs_epi32(_mm_sra_epi32(_mm_add_epi32(s0, offset), count),
                           _mm_sra_epi32(_mm_add_epi32(s1, offset), count));
}

inline __m128i Weights(int16_t r, int16_t g, int16_t b) { return _mm_setr_epi16(r, g, b, 0, r, g, b, 0); }

// Eight 16-bit values: one 16-byte store (aligned where the caller asks),
// or two 8-byte stores in the narrow kernels.
template <bool Wide, bool Aligned = false>
inline void Store8(int16_t* p, __m128i v) {
    if constexpr (Aligned) {
        _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
    } else if constexpr (Wide) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 4), _mm_unpackhi_epi64(v, v));
    }
}

// RGB to YCbCr of an 8H x 8V MCU with the 14-bit weights. AlignedY: the Y
// plane is on a 16-byte boundary and takes aligned stores.
template <bool Wide, int H, int V, bool AlignedY>
inline void RgbKernel(const uint8_t* source, int32_t rowStep, int16_t* y, int16_t* cb, int16_t* cr) {
    constexpr int kQuads = 2 * H;
    constexpr int k = (H - 1) + (V - 1);
    const __m128i yWeights = Weights(4899, 9617, 1868), yOffset = _mm_set1_epi32(-2088960);
    const __m128i cbWeights = Weights(-2764, -5428, 8192), crWeights = Weights(8192, -6860, -1332);
    const __m128i rounding = _mm_set1_epi32(8192 << k);
    for (int r = 0; r < 8 * V; r += V) {
        Quad q[V][kQuads];
        for (int dy = 0; dy < V; ++dy) {
            LoadRow<Wide, kQuads>(source + static_cast<int64_t>(r + dy) * rowStep, q[dy]);
            for (int h = 0; h < H; ++h) {
                const __m128i luma = Narrow(Weigh(q[dy][2 * h].lo, q[dy][2 * h].hi, yWeights),
                                            Weigh(q[dy][2 * h + 1].lo, q[dy][2 * h + 1].hi, yWeights), yOffset, 14);
                Store8<Wide, AlignedY>(y + 128 * ((r + dy) / 8) + 64 * h + 8 * ((r + dy) % 8), luma);
            }
        }
        // Chroma row i from four (H = 2) or two (H = 1) vectors of pixels or
        // pixel sums, two per Weigh.
        __m128i c[4];
        if constexpr (H == 1) {
            c[0] = q[0][0].lo, c[1] = q[0][0].hi, c[2] = q[0][1].lo, c[3] = q[0][1].hi;
        } else {
            for (int j = 0; j < 4; ++j) c[j] = PairSums(V == 2 ? AddQuads(q[0][j], q[V - 1][j]) : q[0][j]);
        }
        const int i = r / V;
        Store8<Wide>(cb + 8 * i, Narrow(Weigh(c[0], c[1], cbWeights), Weigh(c[2], c[3], cbWeights), rounding, 14 + k));
        Store8<Wide>(cr + 8 * i, Narrow(Weigh(c[0], c[1], crWeights), Weigh(c[2], c[3], crWeights), rounding, 14 + k));
    }
}

// Eight pixels (two quads) as three channel vectors of eight 16-bit lanes.
inline void SplitChannels(const Quad& a, const Quad& b, __m128i* channel) {
    auto planar = [](const Quad& q, __m128i& rg, __m128i& bx) {
        const __m128i t0 = _mm_unpacklo_epi16(q.lo, q.hi), t1 = _mm_unpackhi_epi16(q.lo, q.hi);
        rg = _mm_unpacklo_epi16(t0, t1);  // R0 R1 R2 R3 G0 G1 G2 G3
        bx = _mm_unpackhi_epi16(t0, t1);  // B0 B1 B2 B3 x x x x
    };
    __m128i rgA, bxA, rgB, bxB;
    planar(a, rgA, bxA);
    planar(b, rgB, bxB);
    channel[0] = _mm_unpacklo_epi64(rgA, rgB);
    channel[1] = _mm_unpackhi_epi64(rgA, rgB);
    channel[2] = _mm_unpacklo_epi64(bxA, bxB);
}

// The channels of an 8H x 8V MCU level-shifted, channels 1 and 2 averaged
// over H x V pixels (truncated).
template <bool Wide, int H, int V>
inline void SplitKernel(const uint8_t* source, int32_t rowStep, int16_t* p0, int16_t* p1, int16_t* p2) {
    constexpr int kQuads = 2 * H;
    constexpr int k = (H - 1) + (V - 1);
    const __m128i shift = _mm_set1_epi16(128), ones = _mm_set1_epi16(1), bias = _mm_set1_epi16(128 << k);
    for (int r = 0; r < 8 * V; r += V) {
        __m128i sums[2][H];  // channels 1 and 2, per half row, summed over the rows
        for (int dy = 0; dy < V; ++dy) {
            Quad q[kQuads];
            LoadRow<Wide, kQuads>(source + static_cast<int64_t>(r + dy) * rowStep, q);
            for (int h = 0; h < H; ++h) {
                __m128i channel[3];
                SplitChannels(q[2 * h], q[2 * h + 1], channel);
                Store8<Wide>(p0 + 128 * ((r + dy) / 8) + 64 * h + 8 * ((r + dy) % 8), _mm_sub_epi16(channel[0], shift));
                for (int ch = 0; ch < 2; ++ch) {
                    sums[ch][h] = dy == 0 ? channel[ch + 1] : _mm_add_epi16(sums[ch][h], channel[ch + 1]);
                }
            }
        }
        const int i = r / V;
        for (int ch = 0; ch < 2; ++ch) {
            __m128i v;
            if constexpr (H == 1) {
                v = sums[ch][0];
            } else {
                v = _mm_packs_epi32(_mm_madd_epi16(sums[ch][0], ones), _mm_madd_epi16(sums[ch][1], ones));
            }
            Store8<Wide>((ch == 0 ? p1 : p2) + 8 * i, _mm_srai_epi16(_mm_sub_epi16(v, bias), k));
        }
    }
}

// Row 3: the narrow kernel; or the wide one, whose Y stores are aligned,
// with the generic arithmetic for a Y plane off a 16-byte boundary.
template <bool Wide>
inline void Rgb420Level(const uint8_t* source, int32_t rowStep, int16_t* const* planes) {
    if constexpr (!Wide) {
        RgbKernel<false, 2, 2, false>(source, rowStep, planes[0], planes[1], planes[2]);
    } else if ((Address(planes[0]) & 15) == 0) {
        RgbKernel<true, 2, 2, true>(source, rowStep, planes[0], planes[1], planes[2]);
    } else {
        ConvertMcuGeneric<2, 2, true>(source, rowStep, planes[0], planes[1], planes[2]);
    }
}

}  // namespace
}  // namespace jpegkernels

// A level's six entries. RgbWide: rows 1 to 3 take the wide kernels, and row
// 3 the generic arithmetic for a Y plane off a 16-byte boundary. Split420Wide:
// row 6 takes the wide kernel (rows 4 and 5 are narrow at every level).
#define JPEGKERNELS_MCU_LEVEL_ENTRY(Row, Suffix, Body)                                                         \
    KernelStatus Row##_##Suffix(const uint8_t* source, int32_t rowStep, int16_t* const* planes) {             \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::Row>::Run(source, rowStep, planes); s != kKernelOk) { \
            return s;                                                                                        \
        }                                                                                                    \
        Body;                                                                                                \
        return kKernelOk;                                                                                    \
    }

#define JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Suffix, RgbWide, Split420Wide)                                      \
    namespace jpegkernels {                                                                                  \
    JPEGKERNELS_MCU_LEVEL_ENTRY(RgbToYCbCrLevelShift444, Suffix,                                              \
                                (RgbKernel<RgbWide, 1, 1, false>(source, rowStep, planes[0], planes[1], planes[2]))) \
    JPEGKERNELS_MCU_LEVEL_ENTRY(RgbToYCbCrLevelShift422, Suffix,                                              \
                                (RgbKernel<RgbWide, 2, 1, false>(source, rowStep, planes[0], planes[1], planes[2]))) \
    JPEGKERNELS_MCU_LEVEL_ENTRY(RgbToYCbCrLevelShift420, Suffix,                                              \
                                (Rgb420Level<RgbWide>(source, rowStep, planes)))                             \
    JPEGKERNELS_MCU_LEVEL_ENTRY(LevelShiftSplit444, Suffix,                                                   \
                                (SplitKernel<false, 1, 1>(source, rowStep, planes[0], planes[1], planes[2])))  \
    JPEGKERNELS_MCU_LEVEL_ENTRY(LevelShiftSplit422, Suffix,                                                   \
                                (SplitKernel<false, 2, 1>(source, rowStep, planes[0], planes[1], planes[2])))  \
    JPEGKERNELS_MCU_LEVEL_ENTRY(LevelShiftSplit420, Suffix,                                                   \
                                (SplitKernel<Split420Wide, 2, 2>(source, rowStep, planes[0], planes[1], planes[2]))) \
    }
