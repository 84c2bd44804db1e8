#pragma once
// The rows of the kernel dispatch table: one operation each, numbered 1..29,
// with the argument list that all six entries of the row share.
#include <cstdint>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

inline constexpr int kKernelRowCount = 29;
// Column k of every row is the build for processor index k: 0 generic, then
// 1 SSE, 2 SSE2, 3 SSE3, 4 SSSE3, 5 SSE4.1 and above.
inline constexpr int kProcessorColumns = 6;

enum class KernelRow : int {
    RgbToYCbCrLevelShift444 = 1,
    RgbToYCbCrLevelShift422 = 2,
    RgbToYCbCrLevelShift420 = 3,
    LevelShiftSplit444 = 4,
    LevelShiftSplit422 = 5,
    LevelShiftSplit420 = 6,
    ForwardDctQuant8x8 = 7,
    HuffmanEncodeBlock8x8 = 8,
    HuffmanEncoderTableSize = 9,
    HuffmanEncoderTableInit = 10,
    HuffmanEncoderStateInit = 11,
    QuantTableInit = 12,
    DequantInverseDct8x8 = 13,
    HuffmanDecoderTableSize = 14,
    HuffmanDecoderTableInit = 15,
    HuffmanDecoderStateSize = 16,
    HuffmanDecoderStateInit = 17,
    HuffmanDecodeBlock8x8 = 18,
    HuffmanDecodeOneDiff = 19,
    LosslessDecodeRow = 20,
    LosslessReconstructFirstRow = 21,
    LosslessReconstructRow = 22,
    LosslessEncodeRow = 23,
    LosslessDiffFirstRow = 24,
    LosslessDiffRow = 25,
    LosslessEncodeOneDiff = 26,
    LosslessGatherStatistics = 27,
    HuffmanTableFromStatistics = 28,
    HuffmanTableFromStatisticsBufferSize = 29,
};

// Per row: Function, the entry type shared by the six columns; kName; kHasStub,
// whether callers reach it through a dispatch stub; kReachedByDecoder.
template <KernelRow R>
struct KernelRowTraits;

template <KernelRow R>
using KernelRowFunction = typename KernelRowTraits<R>::Function*;

#define JPEGKERNELS_ROW(row, stub, decoder, ...)                   \
    template <>                                                    \
    struct KernelRowTraits<KernelRow::row> {                       \
        using Function = KernelStatus(__VA_ARGS__);                \
        static constexpr const char* kName = #row;                 \
        static constexpr bool kHasStub = stub;                     \
        static constexpr bool kReachedByDecoder = decoder;         \
    };

// Rows 1-6: source MCU (interleaved 8-bit samples), bytes from one MCU row to
// the next, the three output planes.
JPEGKERNELS_ROW(RgbToYCbCrLevelShift444, true, false, const uint8_t* source, int32_t rowStep, int16_t* const* planes)
JPEGKERNELS_ROW(RgbToYCbCrLevelShift422, true, false, const uint8_t* source, int32_t rowStep, int16_t* const* planes)
JPEGKERNELS_ROW(RgbToYCbCrLevelShift420, true, false, const uint8_t* source, int32_t rowStep, int16_t* const* planes)
JPEGKERNELS_ROW(LevelShiftSplit444, true, false, const uint8_t* source, int32_t rowStep, int16_t* const* planes)
JPEGKERNELS_ROW(LevelShiftSplit422, true, false, const uint8_t* source, int32_t rowStep, int16_t* const* planes)
JPEGKERNELS_ROW(LevelShiftSplit420, true, false, const uint8_t* source, int32_t rowStep, int16_t* const* planes)
// Block in place, reciprocal table (natural order).
JPEGKERNELS_ROW(ForwardDctQuant8x8, false, false, int16_t* block, const uint16_t* reciprocals)
JPEGKERNELS_ROW(HuffmanEncodeBlock8x8, false, false, const int16_t* block, uint8_t* buffer, int32_t size,
                uint32_t* position, int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,
                const HuffmanEncoderTable* acTable, HuffmanEncoderState* state, uint32_t flush)
JPEGKERNELS_ROW(HuffmanEncoderTableSize, false, false, int32_t* size)
JPEGKERNELS_ROW(HuffmanEncoderTableInit, false, false, const uint8_t* bits, const uint8_t* huffval,
                HuffmanEncoderTable* table)
JPEGKERNELS_ROW(HuffmanEncoderStateInit, false, false, HuffmanEncoderState* state)
// 64 quantisers in zig-zag order, 64 reciprocals out in natural order.
JPEGKERNELS_ROW(QuantTableInit, true, false, const uint8_t* zigzagTable, uint16_t* reciprocals)
// Coefficients (read only), output samples, quantisation table; all 64
// values in natural order.
JPEGKERNELS_ROW(DequantInverseDct8x8, true, true, const int16_t* coefficients, int16_t* output,
                const int16_t* quantTable)
JPEGKERNELS_ROW(HuffmanDecoderTableSize, true, true, int32_t* size)
JPEGKERNELS_ROW(HuffmanDecoderTableInit, true, true, const uint8_t* bits, const uint8_t* huffval,
                HuffmanDecoderTable* table)
JPEGKERNELS_ROW(HuffmanDecoderStateSize, true, true, int32_t* size)
JPEGKERNELS_ROW(HuffmanDecoderStateInit, true, true, HuffmanDecoderState* state)
JPEGKERNELS_ROW(HuffmanDecodeBlock8x8, true, true, const uint8_t* data, int32_t length, uint32_t* position,
                int16_t* block, int16_t* dcPredictor, MarkerWord* marker, const HuffmanDecoderTable* dcTable,
                const HuffmanDecoderTable* acTable, HuffmanDecoderState* state)
JPEGKERNELS_ROW(HuffmanDecodeOneDiff, false, false, const uint8_t* data, int32_t length, uint32_t* position,
                uint16_t* difference, MarkerWord* marker, const HuffmanDecoderTable* table,
                HuffmanDecoderState* state)
JPEGKERNELS_ROW(LosslessDecodeRow, true, true, const uint8_t* data, int32_t length, uint32_t* position,
                uint16_t* const* outputs, int32_t columns, int32_t components, MarkerWord* marker,
                const HuffmanDecoderTable* const* tables, HuffmanDecoderState* state)
JPEGKERNELS_ROW(LosslessReconstructFirstRow, true, true, const uint16_t* differences, uint16_t* output,
                int32_t count, int32_t precision, int32_t pointTransform)
JPEGKERNELS_ROW(LosslessReconstructRow, true, true, const uint16_t* differences, const uint16_t* previous,
                uint16_t* output, int32_t count, int32_t predictor)
JPEGKERNELS_ROW(LosslessEncodeRow, false, false, const int16_t* const* rows, int32_t columns,
                int32_t components, uint8_t* buffer, int32_t capacity, uint32_t* position,
                const HuffmanEncoderTable* const* tables, HuffmanEncoderState* state, uint32_t flush)
JPEGKERNELS_ROW(LosslessDiffFirstRow, false, false, const uint16_t* samples, uint16_t* differences,
                int32_t count, int32_t precision, int32_t pointTransform)
JPEGKERNELS_ROW(LosslessDiffRow, false, false, const uint16_t* samples, const uint16_t* above,
                uint16_t* differences, int32_t count, int32_t predictor)
JPEGKERNELS_ROW(LosslessEncodeOneDiff, false, false, const int16_t* difference, uint8_t* buffer,
                int32_t capacity, uint32_t* position, const HuffmanEncoderTable* table,
                HuffmanEncoderState* state, uint32_t flush)
JPEGKERNELS_ROW(LosslessGatherStatistics, false, false, const int16_t* difference, uint32_t* counts)
// 257 symbol counts in; BITS (16 bytes) and HUFFVAL (256 bytes) out.
JPEGKERNELS_ROW(HuffmanTableFromStatistics, false, false, const int32_t* counts, uint8_t* bits,
                uint8_t* huffval)
JPEGKERNELS_ROW(HuffmanTableFromStatisticsBufferSize, false, false, int32_t* size)

#undef JPEGKERNELS_ROW

}  // namespace jpegkernels
