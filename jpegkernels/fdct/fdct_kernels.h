#pragma once
// Forward DCT with quantisation of one 8x8 block (row 7) and the
// preparation of reciprocal quantisation tables (row 12), with the kernels
// behind their six entries.
//
// Blocks are 64 signed 16-bit values in natural (row-major) order. The
// generic forward DCT transforms rows, then columns, in 32-bit fixed point;
// the builds of indexes 1 to 5 transform columns in saturating 16-bit lanes
// with tangent constants, then rows by weighted sums in 32 bits. For samples
// in -128..127 the two differ by at most 1 per coefficient; indexes 1 to 5
// agree bit for bit for samples in -255..255. Every quantiser gives
// table[i] x value / 2^scale rounded to nearest, ties to even, saturated.
//
// A reciprocal table holds round(32768 / Q) for each quantiser Q in natural
// order, 0xFFFF for Q = 0.
#include <cstdint>

#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

// Row 7: (block, reciprocal table). -8 for a null pointer (nothing touched);
// else the block becomes its quantised coefficients and the result is 0.
#define JPEGKERNELS_DECLARE_FDCT_QUANT(name) KernelStatus name(int16_t* block, const uint16_t* reciprocals);
JPEGKERNELS_DECLARE_FDCT_QUANT(ForwardDctQuant8x8)
JPEGKERNELS_DECLARE_FDCT_QUANT(ForwardDctQuant8x8_Mmx)
JPEGKERNELS_DECLARE_FDCT_QUANT(ForwardDctQuant8x8_Sse2)
JPEGKERNELS_DECLARE_FDCT_QUANT(ForwardDctQuant8x8_Sse3)
JPEGKERNELS_DECLARE_FDCT_QUANT(ForwardDctQuant8x8_Ssse3)
JPEGKERNELS_DECLARE_FDCT_QUANT(ForwardDctQuant8x8_Sse41)
#undef JPEGKERNELS_DECLARE_FDCT_QUANT

// Row 12: (64 quantisers in zig-zag order, 64 reciprocals out in natural
// order). -8 for a null pointer; else 0, or 6 when a quantiser was 0 (the
// table is complete, 0xFFFF there).
#define JPEGKERNELS_DECLARE_QUANT_TABLE(name) KernelStatus name(const uint8_t* zigzagTable, uint16_t* reciprocals);
JPEGKERNELS_DECLARE_QUANT_TABLE(QuantTableInit)
JPEGKERNELS_DECLARE_QUANT_TABLE(QuantTableInit_Mmx)
JPEGKERNELS_DECLARE_QUANT_TABLE(QuantTableInit_Sse2)
JPEGKERNELS_DECLARE_QUANT_TABLE(QuantTableInit_Sse3)
JPEGKERNELS_DECLARE_QUANT_TABLE(QuantTableInit_Ssse3)
JPEGKERNELS_DECLARE_QUANT_TABLE(QuantTableInit_Sse41)
#undef JPEGKERNELS_DECLARE_QUANT_TABLE

// Generic forward DCT: -8 for null, else the block in place and 0. The core
// takes (source, destination), which may be the same block.
KernelStatus ForwardDct8x8(int16_t* block);
void ForwardDct8x8Core(const int16_t* source, int16_t* destination);

// Processor forward DCTs (source, destination): no checks, any alignment,
// in place or between blocks that do not overlap.
#define JPEGKERNELS_DECLARE_FDCT_CORE(name) void name(const int16_t* source, int16_t* destination);
JPEGKERNELS_DECLARE_FDCT_CORE(ForwardDct8x8Core_Mmx)
JPEGKERNELS_DECLARE_FDCT_CORE(ForwardDct8x8Core_Sse2)
JPEGKERNELS_DECLARE_FDCT_CORE(ForwardDct8x8Core_Sse3)
JPEGKERNELS_DECLARE_FDCT_CORE(ForwardDct8x8Core_Ssse3)
JPEGKERNELS_DECLARE_FDCT_CORE(ForwardDct8x8Core_Sse41)
#undef JPEGKERNELS_DECLARE_FDCT_CORE

// Generic quantiser (table, source, destination, count, scale): -8 null,
// -6 count below 1; scale 0 the saturated product, 1..31 the product / 2^scale
// rounded to nearest (ties to even) and saturated, 32 and above a zeroed
// destination (the zero-fill's status), -14..-1 the saturated product
// shifted left and saturated again, -15 and below 32767, -32768 or 0 by the
// signs. Source and destination may be the same array.
KernelStatus MultiplyScaled16(const uint16_t* table, const int16_t* source, int16_t* destination, int32_t count,
                              int32_t scale);
// Processor quantisers: scales 2..31 only, no checks, no result.
#define JPEGKERNELS_DECLARE_QUANTISER(name)                                                                    \
    void name(const uint16_t* table, const int16_t* source, int16_t* destination, int32_t count, int32_t scale);
JPEGKERNELS_DECLARE_QUANTISER(MultiplyScaled16_Mmx)
JPEGKERNELS_DECLARE_QUANTISER(MultiplyScaled16_Sse2)
JPEGKERNELS_DECLARE_QUANTISER(MultiplyScaled16_Sse3)
JPEGKERNELS_DECLARE_QUANTISER(MultiplyScaled16_Ssse3)
JPEGKERNELS_DECLARE_QUANTISER(MultiplyScaled16_Sse41)
#undef JPEGKERNELS_DECLARE_QUANTISER

// Checked zero-fills of count 16-bit elements: -8 null, -6 count below 1,
// else 0. The index-1 build streams from 10240 elements on.
#define JPEGKERNELS_DECLARE_ZERO16(name) KernelStatus name(int16_t* destination, int32_t count);
JPEGKERNELS_DECLARE_ZERO16(KernelZero16Checked)
JPEGKERNELS_DECLARE_ZERO16(KernelZero16Checked_Mmx)
JPEGKERNELS_DECLARE_ZERO16(KernelZero16Checked_Sse2)
JPEGKERNELS_DECLARE_ZERO16(KernelZero16Checked_Sse3)
JPEGKERNELS_DECLARE_ZERO16(KernelZero16Checked_Ssse3)
JPEGKERNELS_DECLARE_ZERO16(KernelZero16Checked_Sse41)
#undef JPEGKERNELS_DECLARE_ZERO16

// Widening of a width x height rectangle of bytes into 16-bit values
// (source, source step in bytes, destination, destination step in bytes,
// width, height): -8 null, -6 width or height below 1, -14 a step below 1;
// else 0. A contiguous rectangle is converted as one row.
#define JPEGKERNELS_DECLARE_WIDEN(name)                                                                        \
    KernelStatus name(const uint8_t* source, int32_t sourceStep, uint16_t* destination, int32_t destinationStep, \
                      int32_t width, int32_t height);
JPEGKERNELS_DECLARE_WIDEN(ConvertU8ToU16)
JPEGKERNELS_DECLARE_WIDEN(ConvertU8ToU16_Mmx)
JPEGKERNELS_DECLARE_WIDEN(ConvertU8ToU16_Sse2)
JPEGKERNELS_DECLARE_WIDEN(ConvertU8ToU16_Sse3)
JPEGKERNELS_DECLARE_WIDEN(ConvertU8ToU16_Ssse3)
JPEGKERNELS_DECLARE_WIDEN(ConvertU8ToU16_Sse41)
#undef JPEGKERNELS_DECLARE_WIDEN
// One row of count values, no checks; the index-1 build always stores past
// the cache, the others when the flag is set.
void ConvertU8ToU16Row_Mmx(const uint8_t* source, uint16_t* destination, int64_t count);
#define JPEGKERNELS_DECLARE_WIDEN_ROW(name)                                                                    \
    void name(const uint8_t* source, uint16_t* destination, int64_t count, bool nonTemporal);
JPEGKERNELS_DECLARE_WIDEN_ROW(ConvertU8ToU16Row_Sse2)
JPEGKERNELS_DECLARE_WIDEN_ROW(ConvertU8ToU16Row_Sse3)
JPEGKERNELS_DECLARE_WIDEN_ROW(ConvertU8ToU16Row_Ssse3)
JPEGKERNELS_DECLARE_WIDEN_ROW(ConvertU8ToU16Row_Sse41)
#undef JPEGKERNELS_DECLARE_WIDEN_ROW

// destination[k] = source[zig-zag position of natural index k]: -8 null,
// else 0. The arrays must differ.
#define JPEGKERNELS_DECLARE_REORDER(name) KernelStatus name(const uint16_t* source, uint16_t* destination);
JPEGKERNELS_DECLARE_REORDER(ZigzagToNatural16)
JPEGKERNELS_DECLARE_REORDER(ZigzagToNatural16_Mmx)
JPEGKERNELS_DECLARE_REORDER(ZigzagToNatural16_Sse2)
JPEGKERNELS_DECLARE_REORDER(ZigzagToNatural16_Sse3)
JPEGKERNELS_DECLARE_REORDER(ZigzagToNatural16_Ssse3)
JPEGKERNELS_DECLARE_REORDER(ZigzagToNatural16_Sse41)
#undef JPEGKERNELS_DECLARE_REORDER

// destination[i] = value / source[i] rounded (source, value, destination,
// count): -8 null, -6 count below 1; a divisor 0 gives 0xFFFF and the
// result 6; a value of 0 zeroes the destination (6 if a divisor is 0). The
// integer builds (indexes 0 and 1) round the exact quotient to nearest, ties
// to even; the others divide in single precision and saturate lanes above
// 32767, except a divisor of 1. For the value 32768 all give one table.
#define JPEGKERNELS_DECLARE_DIVIDE(name)                                                                       \
    KernelStatus name(const uint16_t* source, uint16_t value, uint16_t* destination, int32_t count);
JPEGKERNELS_DECLARE_DIVIDE(DivideValueBy16)
JPEGKERNELS_DECLARE_DIVIDE(DivideValueBy16_Mmx)
JPEGKERNELS_DECLARE_DIVIDE(DivideValueBy16_Sse2)
JPEGKERNELS_DECLARE_DIVIDE(DivideValueBy16_Sse3)
JPEGKERNELS_DECLARE_DIVIDE(DivideValueBy16_Ssse3)
JPEGKERNELS_DECLARE_DIVIDE(DivideValueBy16_Sse41)
#undef JPEGKERNELS_DECLARE_DIVIDE
// The same in place (value, array, count).
#define JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE(name) KernelStatus name(uint16_t value, uint16_t* array, int32_t count);
JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE(DivideValueBy16InPlace)
JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE(DivideValueBy16InPlace_Mmx)
JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE(DivideValueBy16InPlace_Sse2)
JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE(DivideValueBy16InPlace_Sse3)
JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE(DivideValueBy16InPlace_Ssse3)
JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE(DivideValueBy16InPlace_Sse41)
#undef JPEGKERNELS_DECLARE_DIVIDE_IN_PLACE

}  // namespace jpegkernels
