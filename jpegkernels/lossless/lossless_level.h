#pragma once
// Rows 19, 21 and 22 of processor indexes 2 to 5, with their fast kernel and
// bodies. Each level's translation unit includes this once and expands
// JPEGKERNELS_DEFINE_LOSSLESS_LEVEL with its suffix and the number of
// columns its predictor loops take per step; the rest has internal linkage.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/lossless/lossless_decode.h"
#include "jpegkernels/lossless/lossless_reconstruct.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

// True when the n 16-bit values at a and at b share a byte.
inline bool Overlap(const uint16_t* a, const uint16_t* b, int32_t n) {
    const uintptr_t bytes = 2 * static_cast<uintptr_t>(n);
    return Address(a) < Address(b) + bytes && Address(b) < Address(a) + bytes;
}

// output[i] = a[i] + b[i] for n values: single values until the output is
// 16-byte aligned, then eight lanes a step, then the rest.
inline void AddRows(const uint16_t* a, const uint16_t* b, uint16_t* output, int32_t n) {
    int32_t i = 0;
    for (; i < n && (Address(output + i) & 15) != 0; ++i) output[i] = static_cast<uint16_t>(a[i] + b[i]);
    for (; i + 8 <= n; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        _mm_store_si128(reinterpret_cast<__m128i*>(output + i), _mm_add_epi16(x, y));
    }
    for (; i < n; ++i) output[i] = static_cast<uint16_t>(a[i] + b[i]);
}

// output[0] = seed + differences[0], then the running sum along the row,
// eight columns a step: the prefix sums of the eight lanes in three
// shift-and-add steps, plus the last sum of the step before. Each step is
// read before it is written, so the output may be the difference row
// itself; any other overlap takes the plain loop.
inline void RunningSumLanes(const uint16_t* differences, uint16_t* output, int32_t count, uint32_t seed) {
    if (output != differences && Overlap(output, differences, count)) {
        RunningSum(differences, output, count, seed);
        return;
    }
    __m128i carry = _mm_set1_epi16(static_cast<int16_t>(seed));
    int32_t x = 0;
    for (; x + 8 <= count; x += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(differences + x));
        v = _mm_add_epi16(v, _mm_slli_si128(v, 2));
        v = _mm_add_epi16(v, _mm_slli_si128(v, 4));
        v = _mm_add_epi16(v, _mm_slli_si128(v, 8));
        v = _mm_add_epi16(v, carry);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(output + x), v);
        carry = _mm_shuffle_epi32(_mm_shufflehi_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    }
    RunningSum(differences + x, output + x, count - x, static_cast<uint16_t>(_mm_cvtsi128_si32(carry)));
}

// The lanes take over only for more than 6 columns, an even output address
// and an output apart from both inputs.
inline bool LanesApply(const uint16_t* a, const uint16_t* b, const uint16_t* output, int32_t n) {
    return n > 6 && (Address(output) & 1) == 0 && !Overlap(output, a, n) && !Overlap(output, b, n);
}

// Row 22 after its checks; Predictor1 is the index's body for predictor 1.
template <void (*Predictor1)(const uint16_t*, const uint16_t*, uint16_t*, int32_t), int Step>
void ReconstructRowLevel(const uint16_t* differences, const uint16_t* previous, uint16_t* output, int32_t count,
                         int32_t predictor) {
    if (predictor == 1) {
        Predictor1(differences, previous, output, count);
    } else if (predictor == 2 && LanesApply(differences, previous, output, count)) {
        AddRows(differences, previous, output, count);
    } else if (predictor == 3 && LanesApply(differences + 1, previous, output + 1, count - 1)) {
        output[0] = static_cast<uint16_t>(differences[0] + previous[0]);
        AddRows(differences + 1, previous, output + 1, count - 1);
    } else {
        PredictRowScalar<Step>(differences, previous, output, count, predictor);
    }
}

}  // namespace
}  // namespace jpegkernels

#define JPEGKERNELS_DEFINE_LOSSLESS_LEVEL(Suffix, Step)                                                         \
    namespace jpegkernels {                                                                                  \
    KernelStatus HuffmanDecodeOneDiffFast_##Suffix(const uint8_t* data, uint16_t* difference,                 \
                                                   uint32_t* position, const HuffmanDecoderTable* table,      \
                                                   HuffmanDecoderState* state) {                             \
        return DecodeOneDiffFast(data, difference, position, table, state);                                  \
    }                                                                                                        \
    KernelStatus HuffmanDecodeOneDiff_##Suffix(const uint8_t* data, int32_t length, uint32_t* position,       \
                                               uint16_t* difference, MarkerWord* marker,                     \
                                               const HuffmanDecoderTable* table, HuffmanDecoderState* state) { \
        return DecodeOneDiffEntry<HuffmanDecodeOneDiffFast_##Suffix>(data, length, position, difference,      \
                                                                     marker, table, state);                  \
    }                                                                                                        \
    void FirstRowRunningSum_##Suffix(const uint16_t* differences, uint16_t* output, int32_t count,            \
                                     int32_t precision, int32_t pointTransform) {                            \
        RunningSumLanes(differences, output, count, FirstRowPrediction(precision, pointTransform));          \
    }                                                                                                        \
    KernelStatus LosslessReconstructFirstRow_##Suffix(const uint16_t* differences, uint16_t* output,          \
                                                      int32_t count, int32_t precision,                      \
                                                      int32_t pointTransform) {                              \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessReconstructFirstRow>::Run(                \
                differences, output, count, precision, pointTransform);                                      \
            s != kKernelOk) {                                                                                \
            return s;                                                                                        \
        }                                                                                                    \
        FirstRowRunningSum_##Suffix(differences, output, count, precision, pointTransform);                  \
        return kKernelOk;                                                                                    \
    }                                                                                                        \
    void ReconstructRowPredictor1_##Suffix(const uint16_t* differences, const uint16_t* previous,             \
                                           uint16_t* output, int32_t count) {                                \
        RunningSumLanes(differences, output, count, previous[0]);                                            \
    }                                                                                                        \
    KernelStatus LosslessReconstructRow_##Suffix(const uint16_t* differences, const uint16_t* previous,       \
                                                 uint16_t* output, int32_t count, int32_t predictor) {       \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessReconstructRow>::Run(                     \
                differences, previous, output, count, predictor);                                            \
            s != kKernelOk) {                                                                                \
            return s;                                                                                        \
        }                                                                                                    \
        ReconstructRowLevel<ReconstructRowPredictor1_##Suffix, Step>(differences, previous, output, count,    \
                                                                     predictor);                             \
        return kKernelOk;                                                                                    \
    }                                                                                                        \
    }
