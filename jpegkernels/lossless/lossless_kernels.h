#pragma once
// Lossless decoding side of the kernel set: one Huffman-coded difference
// (row 19), one row of differences for up to four interleaved components
// (row 20), and the reconstruction of samples from differences for a first
// row (row 21) and for any further row with predictors 1..7 (row 22).
//
//   row  index 0 and 1                 2 and 3                   4, 5
//   19   HuffmanDecodeOneDiff          ..._Sse2, ..._Sse3        ..._Ssse3, ..._Sse41
//   20   LosslessDecodeRow             LosslessDecodeRow_Sse2    ..._Ssse3, ..._Sse41
//        (indexes 2 to 5 try a fast kernel of their own first)
//   21   LosslessReconstructFirstRow   ..._Sse2, ..._Sse3        ..._Ssse3, ..._Sse41
//   22   LosslessReconstructRow, ..._Mmx, ..._Sse2, ..._Sse3, ..._Ssse3, ..._Sse41
//
// Samples and differences are 16-bit; all arithmetic is modulo 2^16. A
// difference of category 16 is 32768.
#include <cstdint>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

// Row 19: one difference. -8 null data, -6 length below 1, -8 any other null
// pointer; otherwise 0 or the bit reader's -62 / -63. The marker word is
// written when the bit reader meets a marker.
#define JPEGKERNELS_DECLARE_DECODE_ONE_DIFF(name)                                                              \
    KernelStatus name(const uint8_t* data, int32_t length, uint32_t* position, uint16_t* difference,         \
                      MarkerWord* marker, const HuffmanDecoderTable* table, HuffmanDecoderState* state);
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF(HuffmanDecodeOneDiff)
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF(HuffmanDecodeOneDiff_Sse2)
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF(HuffmanDecodeOneDiff_Sse3)
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF(HuffmanDecodeOneDiff_Ssse3)
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF(HuffmanDecodeOneDiff_Sse41)
#undef JPEGKERNELS_DECLARE_DECODE_ONE_DIFF

// Fast kernels of row 19 (32-bit buffer, codes of up to 8 bits, no 0xFF in
// the bytes read): 0 when the difference is decoded and committed, 1 when
// nothing was committed. The entry calls them only with at least 8 bytes
// left after the position and no marker recorded.
#define JPEGKERNELS_DECLARE_DECODE_ONE_DIFF_FAST(name)                                                         \
    KernelStatus name(const uint8_t* data, uint16_t* difference, uint32_t* position,                         \
                      const HuffmanDecoderTable* table, HuffmanDecoderState* state);
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF_FAST(HuffmanDecodeOneDiffFast_Sse2)
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF_FAST(HuffmanDecodeOneDiffFast_Sse3)
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF_FAST(HuffmanDecodeOneDiffFast_Ssse3)
JPEGKERNELS_DECLARE_DECODE_ONE_DIFF_FAST(HuffmanDecodeOneDiffFast_Sse41)
#undef JPEGKERNELS_DECLARE_DECODE_ONE_DIFF_FAST

// Row 20: columns x min(components, 4) differences, column by column and
// within a column component by component, difference x of component c to
// outputs[c][x]. Checks: null data -8; length below 1 -6; null position or
// outputs -8; columns or components below 1 -6; null marker word, tables or
// state -8; a null output or table of the first four components -8.
// Otherwise 0 or the bit reader's -62 / -63 (the columns decoded stay).
//
// The fast kernels (indexes 2 to 5) take the components as passed and
// decline for a count outside 1..4, a recorded marker, fewer than
// 2 x columns bytes left, or anything their window does not handle; they
// either decode and commit the whole row (0) or commit nothing (1).
#define JPEGKERNELS_DECLARE_DECODE_ROW(name)                                                                   \
    KernelStatus name(const uint8_t* data, int32_t length, uint32_t* position, uint16_t* const* outputs,     \
                      int32_t columns, int32_t components, MarkerWord* marker,                                \
                      const HuffmanDecoderTable* const* tables, HuffmanDecoderState* state);
JPEGKERNELS_DECLARE_DECODE_ROW(LosslessDecodeRow)
JPEGKERNELS_DECLARE_DECODE_ROW(LosslessDecodeRow_Sse2)
JPEGKERNELS_DECLARE_DECODE_ROW(LosslessDecodeRow_Ssse3)
JPEGKERNELS_DECLARE_DECODE_ROW(LosslessDecodeRow_Sse41)
JPEGKERNELS_DECLARE_DECODE_ROW(LosslessDecodeRowFast_Sse2)
JPEGKERNELS_DECLARE_DECODE_ROW(LosslessDecodeRowFast_Ssse3)
JPEGKERNELS_DECLARE_DECODE_ROW(LosslessDecodeRowFast_Sse41)
#undef JPEGKERNELS_DECLARE_DECODE_ROW

// Row 21: output[0] = differences[0] + 2^((P - Pt - 1) mod 32), then
// output[x] = output[x - 1] + differences[x]. -8 null pointer, -6 count
// below 1, -5 P outside 2..16 or Pt below 0; else 0. The output may be the
// difference row itself.
#define JPEGKERNELS_DECLARE_FIRST_ROW(name)                                                                    \
    KernelStatus name(const uint16_t* differences, uint16_t* output, int32_t count, int32_t precision,       \
                      int32_t pointTransform);
JPEGKERNELS_DECLARE_FIRST_ROW(LosslessReconstructFirstRow)
JPEGKERNELS_DECLARE_FIRST_ROW(LosslessReconstructFirstRow_Sse2)
JPEGKERNELS_DECLARE_FIRST_ROW(LosslessReconstructFirstRow_Sse3)
JPEGKERNELS_DECLARE_FIRST_ROW(LosslessReconstructFirstRow_Ssse3)
JPEGKERNELS_DECLARE_FIRST_ROW(LosslessReconstructFirstRow_Sse41)
#undef JPEGKERNELS_DECLARE_FIRST_ROW

// The work of row 21 after its checks (indexes 2 to 5).
#define JPEGKERNELS_DECLARE_FIRST_ROW_BODY(name)                                                               \
    void name(const uint16_t* differences, uint16_t* output, int32_t count, int32_t precision,               \
              int32_t pointTransform);
JPEGKERNELS_DECLARE_FIRST_ROW_BODY(FirstRowRunningSum_Sse2)
JPEGKERNELS_DECLARE_FIRST_ROW_BODY(FirstRowRunningSum_Sse3)
JPEGKERNELS_DECLARE_FIRST_ROW_BODY(FirstRowRunningSum_Ssse3)
JPEGKERNELS_DECLARE_FIRST_ROW_BODY(FirstRowRunningSum_Sse41)
#undef JPEGKERNELS_DECLARE_FIRST_ROW_BODY

// Row 22: output[0] = differences[0] + previous[0]; for x >= 1
// output[x] = differences[x] + Px with Ra = output[x - 1], Rb = previous[x],
// Rc = previous[x - 1] as unsigned samples:
//   1 Ra, 2 Rb, 3 Rc, 4 Ra + Rb - Rc, 5 Ra + ((Rb - Rc) >> 1),
//   6 Rb + ((Ra - Rc) >> 1), 7 (Ra + Rb) >> 1 (arithmetic shifts).
// -8 null pointer, -6 count below 1, -5 predictor outside 1..7; else 0. The
// output may be the difference row itself.
#define JPEGKERNELS_DECLARE_ROW(name)                                                                          \
    KernelStatus name(const uint16_t* differences, const uint16_t* previous, uint16_t* output, int32_t count, \
                      int32_t predictor);
JPEGKERNELS_DECLARE_ROW(LosslessReconstructRow)
JPEGKERNELS_DECLARE_ROW(LosslessReconstructRow_Mmx)
JPEGKERNELS_DECLARE_ROW(LosslessReconstructRow_Sse2)
JPEGKERNELS_DECLARE_ROW(LosslessReconstructRow_Sse3)
JPEGKERNELS_DECLARE_ROW(LosslessReconstructRow_Ssse3)
JPEGKERNELS_DECLARE_ROW(LosslessReconstructRow_Sse41)
#undef JPEGKERNELS_DECLARE_ROW

// Predictor 1 of row 22 after its checks (indexes 2 to 5).
#define JPEGKERNELS_DECLARE_PREDICTOR1_BODY(name)                                                              \
    void name(const uint16_t* differences, const uint16_t* previous, uint16_t* output, int32_t count);
JPEGKERNELS_DECLARE_PREDICTOR1_BODY(ReconstructRowPredictor1_Sse2)
JPEGKERNELS_DECLARE_PREDICTOR1_BODY(ReconstructRowPredictor1_Sse3)
JPEGKERNELS_DECLARE_PREDICTOR1_BODY(ReconstructRowPredictor1_Ssse3)
JPEGKERNELS_DECLARE_PREDICTOR1_BODY(ReconstructRowPredictor1_Sse41)
#undef JPEGKERNELS_DECLARE_PREDICTOR1_BODY

}  // namespace jpegkernels
