#pragma once
// One minimum coded unit of interleaved 8-bit samples into level-shifted
// 16-bit component blocks: RGB to YCbCr (rows 1 to 3) or the three channels
// as they are (rows 4 to 6), sampled 4:4:4 (8 x 8 pixels), 4:2:2 (16 x 8)
// or 4:2:0 (16 x 16).
//
// Arguments (source, rowStep, planes): MCU row r begins r x rowStep bytes
// after source, and exactly the MCU's samples are read; planes holds the Y
// (channel 0) blocks, then one Cb (channel 1) and one Cr (channel 2) block.
// Y blocks are stored left to right, then top to bottom. -8 for a null
// source, planes array or plane; -14 for a row step below 1; nothing is
// read or written then.
//
// Rows 1 to 3: the generic entries compute Y = ((19595 R + 38470 G + 7471 B)
// >> 16) - 128 and chroma from the channel sums of n = 1, 2 or 4 pixels
// without rounding; the processor entries use 14-bit weights rounded half up
// (each value equals the generic one or exceeds it by 1). Row 3 at indexes
// 2, 4 and 5 takes the generic arithmetic when the Y plane is not on a
// 16-byte boundary. Rows 4 to 6 give the same values in every entry:
// s - 128, with chroma averages truncated toward minus infinity.
#include <cstdint>

#include "jpegkernels/kernel_dispatch.h"
#include "jpegkernels/kernel_rows.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

#define JPEGKERNELS_DECLARE_MCU_ROW(name) \
    KernelStatus name(const uint8_t* source, int32_t rowStep, int16_t* const* planes);
#define JPEGKERNELS_DECLARE_MCU_ROWS(name) \
    JPEGKERNELS_DECLARE_MCU_ROW(name)      \
    JPEGKERNELS_DECLARE_MCU_ROW(name##_Mmx) \
    JPEGKERNELS_DECLARE_MCU_ROW(name##_Sse2) \
    JPEGKERNELS_DECLARE_MCU_ROW(name##_Sse3) \
    JPEGKERNELS_DECLARE_MCU_ROW(name##_Ssse3) \
    JPEGKERNELS_DECLARE_MCU_ROW(name##_Sse41)
JPEGKERNELS_DECLARE_MCU_ROWS(RgbToYCbCrLevelShift444)
JPEGKERNELS_DECLARE_MCU_ROWS(RgbToYCbCrLevelShift422)
JPEGKERNELS_DECLARE_MCU_ROWS(RgbToYCbCrLevelShift420)
JPEGKERNELS_DECLARE_MCU_ROWS(LevelShiftSplit444)
JPEGKERNELS_DECLARE_MCU_ROWS(LevelShiftSplit422)
JPEGKERNELS_DECLARE_MCU_ROWS(LevelShiftSplit420)
#undef JPEGKERNELS_DECLARE_MCU_ROWS
#undef JPEGKERNELS_DECLARE_MCU_ROW

// A companion of the decoder's output rows, not a row of the dispatch table:
// n pixels (c0[x], c1[x'], c2[x']) of three planes of 8-bit samples as 3 n
// bytes, x' = x, or x / 2 when `halved` is 1 (planes 1 and 2 sampled at half
// the width). Nothing is written past the last pixel, nothing read past
// sample n - 1 of plane 0 or (n - 1) >> halved of the others. Indexes 4 and
// 5 shuffle sixteen pixels a step together, 1 to 3 unpack them, 0 takes one
// at a time; all give the same bytes. kInterleaveSamples3[k] is the build
// of processor index k.
using InterleaveSamplesFunction = void (*)(const uint8_t* c0, const uint8_t* c1, const uint8_t* c2, uint8_t* out,
                                           uint32_t n, uint32_t halved);
#define JPEGKERNELS_DECLARE_INTERLEAVE(name)                                                                \
    void name(const uint8_t* c0, const uint8_t* c1, const uint8_t* c2, uint8_t* out, uint32_t n, uint32_t halved);
JPEGKERNELS_DECLARE_INTERLEAVE(InterleaveSamples3)
JPEGKERNELS_DECLARE_INTERLEAVE(InterleaveSamples3_Mmx)
JPEGKERNELS_DECLARE_INTERLEAVE(InterleaveSamples3_Sse2)
JPEGKERNELS_DECLARE_INTERLEAVE(InterleaveSamples3_Sse3)
JPEGKERNELS_DECLARE_INTERLEAVE(InterleaveSamples3_Ssse3)
JPEGKERNELS_DECLARE_INTERLEAVE(InterleaveSamples3_Sse41)
#undef JPEGKERNELS_DECLARE_INTERLEAVE
extern const InterleaveSamplesFunction kInterleaveSamples3[kProcessorColumns];

// The build of the column every dispatch stub uses now.
inline InterleaveSamplesFunction ChosenInterleaveSamples3() { return kInterleaveSamples3[ProcessorIndex()]; }

}  // namespace jpegkernels
