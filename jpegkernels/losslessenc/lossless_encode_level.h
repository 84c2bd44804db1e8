#pragma once
// Rows 23 to 26 of processor indexes 2 to 5. Each level's translation unit
// includes this once and expands JPEGKERNELS_DEFINE_LOSSLESS_ENCODE_LEVEL
// with its suffix, its unaligned 16-byte load (a struct with Unaligned),
// the columns its scalar predictor loops take per pass, and its fast row
// coder (nullptr for none).
#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/losslessenc/lossless_encode.h"

#define JPEGKERNELS_DEFINE_LOSSLESS_ENCODE_LEVEL(Suffix, Load, Step, RowFast)                                   \
    namespace jpegkernels {                                                                                  \
    void FirstRowDifferences_##Suffix(const uint16_t* samples, uint16_t* differences, int32_t count,         \
                                      int32_t precision, int32_t pointTransform) {                           \
        DifferencesFromLeft<Load>(samples, differences, count, FirstRowPrediction(precision, pointTransform)); \
    }                                                                                                        \
    KernelStatus LosslessDiffFirstRow_##Suffix(const uint16_t* samples, uint16_t* differences, int32_t count, \
                                               int32_t precision, int32_t pointTransform) {                  \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessDiffFirstRow>::Run(                       \
                samples, differences, count, precision, pointTransform);                                     \
            s != kKernelOk) {                                                                                \
            return s;                                                                                        \
        }                                                                                                    \
        FirstRowDifferences_##Suffix(samples, differences, count, precision, pointTransform);                \
        return kKernelOk;                                                                                    \
    }                                                                                                        \
    void RowDifferencesPredictor1_##Suffix(const uint16_t* samples, const uint16_t* above,                    \
                                           uint16_t* differences, int32_t count) {                           \
        DifferencesFromLeft<Load>(samples, differences, count, above[0]);                                    \
    }                                                                                                        \
    KernelStatus LosslessDiffRow_##Suffix(const uint16_t* samples, const uint16_t* above, uint16_t* differences, \
                                          int32_t count, int32_t predictor) {                                \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessDiffRow>::Run(samples, above, differences, \
                                                                                 count, predictor);          \
            s != kKernelOk) {                                                                                \
            return s;                                                                                        \
        }                                                                                                    \
        PredictorRowLevel<RowDifferencesPredictor1_##Suffix, DifferenceRowScalar<Step>, true>(                \
            samples, above, differences, count, predictor);                                                  \
        return kKernelOk;                                                                                    \
    }                                                                                                        \
    KernelStatus LosslessEncodeOneDiffFast_##Suffix(const int16_t* difference, uint8_t* buffer,               \
                                                    uint32_t* position, const HuffmanEncoderTable* table,     \
                                                    HuffmanEncoderState* state) {                            \
        return EncodeOneDiffFast(difference, buffer, position, table, state);                                \
    }                                                                                                        \
    KernelStatus LosslessEncodeOneDiff_##Suffix(const int16_t* difference, uint8_t* buffer, int32_t capacity, \
                                                uint32_t* position, const HuffmanEncoderTable* table,        \
                                                HuffmanEncoderState* state, uint32_t flush) {                \
        return EncodeOneEntry<PutBits<true>, HuffmanEncoderStateReset_##Suffix,                               \
                              LosslessEncodeOneDiffFast_##Suffix>(difference, buffer, capacity, position,    \
                                                                  table, state, flush);                      \
    }                                                                                                        \
    KernelStatus LosslessEncodeRow_##Suffix(const int16_t* const* rows, int32_t columns, int32_t components,  \
                                            uint8_t* buffer, int32_t capacity, uint32_t* position,           \
                                            const HuffmanEncoderTable* const* tables, HuffmanEncoderState* state, \
                                            uint32_t flush) {                                                \
        return EncodeRowEntry<PutBits<true>, HuffmanEncoderStateReset_##Suffix, RowFast>(                     \
            rows, columns, components, buffer, capacity, position, tables, state, flush);                    \
    }                                                                                                        \
    }

// The unaligned 16-byte load of indexes 3 to 5 (SSE3).
#define JPEGKERNELS_DEFINE_LDDQU_LOAD                                                                          \
    namespace jpegkernels {                                                                                  \
    namespace {                                                                                              \
    struct UnalignedLoad {                                                                                   \
        static __m128i Unaligned(const uint16_t* p) {                                                        \
            return _mm_lddqu_si128(reinterpret_cast<const __m128i*>(p));                                     \
        }                                                                                                    \
    };                                                                                                       \
    }                                                                                                        \
    }
