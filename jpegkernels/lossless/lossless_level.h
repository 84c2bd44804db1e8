#pragma once
// Rows 19, 21 and 22 of processor indexes 2 to 5, with their fast kernel and
// bodies. Each level's translation unit includes this once and expands
// JPEGKERNELS_DEFINE_LOSSLESS_LEVEL with its suffix and the number of
// columns its predictor loops take per step; the rest has internal linkage.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/lossless/lossless_decode.h"
#include "jpegkernels/lossless/lossless_lanes.h"
#include "jpegkernels/lossless/lossless_reconstruct.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

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
        PredictorRowLevel<ReconstructRowPredictor1_##Suffix, PredictRowScalar<Step>, false>(                   \
            differences, previous, output, count, predictor);                                                \
        return kKernelOk;                                                                                    \
    }                                                                                                        \
    }
