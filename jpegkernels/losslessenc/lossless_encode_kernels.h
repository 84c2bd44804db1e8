#pragma once
// Lossless encoding side of the kernel set: prediction differences for a
// first row (row 24) and for any further row with predictors 1..7 (row 25),
// their Huffman coding one row of up to four interleaved components at a
// time (row 23) or one at a time (row 26), and category counts (row 27).
//
//   row  0          1      2          3          4          5
//   23   general    own    own        own        fast+gen.  fast+gen.
//   24   LosslessDiffFirstRow (0, 1), then _Sse2, _Sse3, _Ssse3, _Sse41
//   25   one entry per index
//   26   general    own    fast+gen.  fast+gen.  fast+gen.  fast+gen.
//   27   LosslessGatherStatistics (0, 1), LosslessGatherStatistics_Sse2 (2-5)
//
// Differences are the exact inverse of the reconstruction rows 21 and 22:
// modulo 2^16, the first prediction 2^((P - Pt - 1) mod 32), predictors
// over unsigned samples. Coding: the category of a difference d (read as a
// signed 16-bit value; -32768 is category 16), its code from the
// component's table, then for categories 1..15 the low bits of d (d - 1
// when negative).
#include <cstdint>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

// Row 24: (samples, differences, count, P, Pt). -8 null, -6 count below 1,
// -5 P outside 2..16 or Pt below 0; else 0. The rows must not overlap.
#define JPEGKERNELS_DECLARE_DIFF_FIRST(name)                                                                   \
    KernelStatus name(const uint16_t* samples, uint16_t* differences, int32_t count, int32_t precision,      \
                      int32_t pointTransform);
JPEGKERNELS_DECLARE_DIFF_FIRST(LosslessDiffFirstRow)
JPEGKERNELS_DECLARE_DIFF_FIRST(LosslessDiffFirstRow_Sse2)
JPEGKERNELS_DECLARE_DIFF_FIRST(LosslessDiffFirstRow_Sse3)
JPEGKERNELS_DECLARE_DIFF_FIRST(LosslessDiffFirstRow_Ssse3)
JPEGKERNELS_DECLARE_DIFF_FIRST(LosslessDiffFirstRow_Sse41)
#undef JPEGKERNELS_DECLARE_DIFF_FIRST
#define JPEGKERNELS_DECLARE_DIFF_FIRST_BODY(name)                                                              \
    void name(const uint16_t* samples, uint16_t* differences, int32_t count, int32_t precision,              \
              int32_t pointTransform);
JPEGKERNELS_DECLARE_DIFF_FIRST_BODY(FirstRowDifferences_Sse2)
JPEGKERNELS_DECLARE_DIFF_FIRST_BODY(FirstRowDifferences_Sse3)
JPEGKERNELS_DECLARE_DIFF_FIRST_BODY(FirstRowDifferences_Ssse3)
JPEGKERNELS_DECLARE_DIFF_FIRST_BODY(FirstRowDifferences_Sse41)
#undef JPEGKERNELS_DECLARE_DIFF_FIRST_BODY

// Row 25: (samples, row above, differences, count, predictor). -8 null, -6
// count below 1, -5 predictor outside 1..7; else 0. differences[0] is
// samples[0] - above[0] for every predictor.
#define JPEGKERNELS_DECLARE_DIFF_ROW(name)                                                                     \
    KernelStatus name(const uint16_t* samples, const uint16_t* above, uint16_t* differences, int32_t count,  \
                      int32_t predictor);
JPEGKERNELS_DECLARE_DIFF_ROW(LosslessDiffRow)
JPEGKERNELS_DECLARE_DIFF_ROW(LosslessDiffRow_Mmx)
JPEGKERNELS_DECLARE_DIFF_ROW(LosslessDiffRow_Sse2)
JPEGKERNELS_DECLARE_DIFF_ROW(LosslessDiffRow_Sse3)
JPEGKERNELS_DECLARE_DIFF_ROW(LosslessDiffRow_Ssse3)
JPEGKERNELS_DECLARE_DIFF_ROW(LosslessDiffRow_Sse41)
#undef JPEGKERNELS_DECLARE_DIFF_ROW
#define JPEGKERNELS_DECLARE_PREDICTOR1(name)                                                                   \
    void name(const uint16_t* samples, const uint16_t* above, uint16_t* differences, int32_t count);
JPEGKERNELS_DECLARE_PREDICTOR1(RowDifferencesPredictor1_Sse2)
JPEGKERNELS_DECLARE_PREDICTOR1(RowDifferencesPredictor1_Sse3)
JPEGKERNELS_DECLARE_PREDICTOR1(RowDifferencesPredictor1_Ssse3)
JPEGKERNELS_DECLARE_PREDICTOR1(RowDifferencesPredictor1_Sse41)
#undef JPEGKERNELS_DECLARE_PREDICTOR1

// Row 23: (rows, columns, components, buffer, capacity, position, tables,
// state, flush). -8 null buffer, -6 capacity below 1, -8 null position or
// state; a set flush flag pads with 1-bits and resets the state (the
// write's status); then -8 null rows, -6 columns or components below 1, -8
// null tables or a null row or table of the first four components. Codes
// column by column, component by component (at most four): 0, -64 for a
// category without a code (nothing of that difference written), or -62 when
// the buffer is full.
#define JPEGKERNELS_DECLARE_ENCODE_ROW(name)                                                                   \
    KernelStatus name(const int16_t* const* rows, int32_t columns, int32_t components, uint8_t* buffer,      \
                      int32_t capacity, uint32_t* position, const HuffmanEncoderTable* const* tables,         \
                      HuffmanEncoderState* state, uint32_t flush);
JPEGKERNELS_DECLARE_ENCODE_ROW(LosslessEncodeRow)
JPEGKERNELS_DECLARE_ENCODE_ROW(LosslessEncodeRow_Mmx)
JPEGKERNELS_DECLARE_ENCODE_ROW(LosslessEncodeRow_Sse2)
JPEGKERNELS_DECLARE_ENCODE_ROW(LosslessEncodeRow_Sse3)
JPEGKERNELS_DECLARE_ENCODE_ROW(LosslessEncodeRow_Ssse3)
JPEGKERNELS_DECLARE_ENCODE_ROW(LosslessEncodeRow_Sse41)
#undef JPEGKERNELS_DECLARE_ENCODE_ROW

// Fast row coders (64-bit window, byte-reversed bulk stores): 1 with
// nothing done for a component count outside 1..4; else the row's status.
// On -62 or -64 the position and state stay as they were; bytes past the
// position may have been stored. Never stores at or past the capacity.
#define JPEGKERNELS_DECLARE_ENCODE_ROW_FAST(name)                                                              \
    KernelStatus name(const int16_t* const* rows, int32_t columns, int32_t components, uint8_t* buffer,      \
                      int32_t capacity, uint32_t* position, const HuffmanEncoderTable* const* tables,         \
                      HuffmanEncoderState* state);
JPEGKERNELS_DECLARE_ENCODE_ROW_FAST(LosslessEncodeRowFast_Ssse3)
JPEGKERNELS_DECLARE_ENCODE_ROW_FAST(LosslessEncodeRowFast_Sse41)
#undef JPEGKERNELS_DECLARE_ENCODE_ROW_FAST

// Row 26: (difference, buffer, capacity, position, table, state, flush);
// checks and flush as row 23, then -8 null difference or table; else 0,
// -64 or -62.
#define JPEGKERNELS_DECLARE_ENCODE_ONE(name)                                                                   \
    KernelStatus name(const int16_t* difference, uint8_t* buffer, int32_t capacity, uint32_t* position,      \
                      const HuffmanEncoderTable* table, HuffmanEncoderState* state, uint32_t flush);
JPEGKERNELS_DECLARE_ENCODE_ONE(LosslessEncodeOneDiff)
JPEGKERNELS_DECLARE_ENCODE_ONE(LosslessEncodeOneDiff_Mmx)
JPEGKERNELS_DECLARE_ENCODE_ONE(LosslessEncodeOneDiff_Sse2)
JPEGKERNELS_DECLARE_ENCODE_ONE(LosslessEncodeOneDiff_Sse3)
JPEGKERNELS_DECLARE_ENCODE_ONE(LosslessEncodeOneDiff_Ssse3)
JPEGKERNELS_DECLARE_ENCODE_ONE(LosslessEncodeOneDiff_Sse41)
#undef JPEGKERNELS_DECLARE_ENCODE_ONE

// Fast one-difference coders, called with at least 9 bytes of room: 0 when
// coded and committed, 1 with nothing written (no code for the category).
#define JPEGKERNELS_DECLARE_ENCODE_ONE_FAST(name)                                                              \
    KernelStatus name(const int16_t* difference, uint8_t* buffer, uint32_t* position,                        \
                      const HuffmanEncoderTable* table, HuffmanEncoderState* state);
JPEGKERNELS_DECLARE_ENCODE_ONE_FAST(LosslessEncodeOneDiffFast_Sse2)
JPEGKERNELS_DECLARE_ENCODE_ONE_FAST(LosslessEncodeOneDiffFast_Sse3)
JPEGKERNELS_DECLARE_ENCODE_ONE_FAST(LosslessEncodeOneDiffFast_Ssse3)
JPEGKERNELS_DECLARE_ENCODE_ONE_FAST(LosslessEncodeOneDiffFast_Sse41)
#undef JPEGKERNELS_DECLARE_ENCODE_ONE_FAST

// Row 27: (difference, 17 category counters). -8 null; else the counter of
// the difference's category is raised and 0 (-7 for a category above 16,
// which a 16-bit difference cannot reach).
KernelStatus LosslessGatherStatistics(const int16_t* difference, uint32_t* counts);
KernelStatus LosslessGatherStatistics_Sse2(const int16_t* difference, uint32_t* counts);

}  // namespace jpegkernels
