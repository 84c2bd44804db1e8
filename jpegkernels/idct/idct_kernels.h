#pragma once
// Dequantisation and inverse DCT of one 8x8 block (row 13 of the kernel
// table) and the kernels behind its six entries.
//
// Blocks are 64 signed 16-bit values in natural (row-major) order. The
// generic entry (index 0) saturates the dequantised products and runs a
// columns-then-rows transform without saturation; the entries of indexes 1 to
// 5 keep the low 16 bits of each product and run a rows-then-columns
// transform with saturation, whose samples lie in -512..511. The two agree on
// most samples and differ by one on some; indexes 1 to 5 agree exactly.
#include <cstddef>
#include <cstdint>

#include "jpegkernels/kernel_dispatch.h"
#include "jpegkernels/kernel_rows.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

// Row 13 entries: (coefficients, output, quantisation table). Null pointers
// give -8 and touch nothing; otherwise 0. The coefficients are only read.
KernelStatus DequantInverseDct8x8(const int16_t* coefficients, int16_t* output, const int16_t* quantTable);
KernelStatus DequantInverseDct8x8_Mmx(const int16_t* coefficients, int16_t* output, const int16_t* quantTable);
KernelStatus DequantInverseDct8x8_Sse2(const int16_t* coefficients, int16_t* output, const int16_t* quantTable);
KernelStatus DequantInverseDct8x8_Sse3(const int16_t* coefficients, int16_t* output, const int16_t* quantTable);
KernelStatus DequantInverseDct8x8_Ssse3(const int16_t* coefficients, int16_t* output, const int16_t* quantTable);
KernelStatus DequantInverseDct8x8_Sse41(const int16_t* coefficients, int16_t* output, const int16_t* quantTable);

// Generic kernels. DequantBlock: destination[i] = source[i] * table[i]
// saturated to 16 bits; -8 for a null pointer, -6 for a count below 1.
KernelStatus DequantBlock(const int16_t* source, const int16_t* table, int16_t* destination, int32_t count);
// In place; -8 for a null pointer.
KernelStatus InverseDct8x8(int16_t* block);

// Processor-specific kernels; they check nothing. The dequantiser keeps the
// low 16 bits of each product and may run in place. The inverse DCTs take
// (input, output), may run in place, need no alignment, and leave a separate
// input unchanged. Each processor index carries its own build of the same
// arithmetic.
void DequantBlock_Mmx(const int16_t* coefficients, int16_t* output, const int16_t* table);
void InverseDct8x8_Mmx(const int16_t* input, int16_t* output);
void InverseDct8x8_Sse2(const int16_t* input, int16_t* output);
void InverseDct8x8_Sse3(const int16_t* input, int16_t* output);
void InverseDct8x8_Ssse3(const int16_t* input, int16_t* output);
void InverseDct8x8_Sse41(const int16_t* input, int16_t* output);

// Companions of row 13 for a decoder that keeps a block's samples as 64
// signed 32-bit values (its block record) and writes them out as 8-bit
// samples. They are not rows of the dispatch table; the arrays below hold
// the build of each processor index, so kDequantInverseDct8x8To32[k] pairs
// with row 13's entry k.
//
// DequantInverseDct8x8To32: what row 13's entry of the same index leaves in
// its output, sign-extended to 32 bits as the last pass stores it. The
// output may be the storage the coefficients or the table sit in (every
// input is read before the first sample is written). -8 for a null pointer,
// else 0.
using DequantInverseDctTo32Function = KernelStatus (*)(const int16_t* coefficients, int32_t* output,
                                                       const int16_t* quantTable);
#define JPEGKERNELS_DECLARE_TO32(Name) \
    KernelStatus Name(const int16_t* coefficients, int32_t* output, const int16_t* quantTable);
#define JPEGKERNELS_DECLARE_WRITE_BLOCK(Name) \
    void Name(const int32_t* samples, uint8_t* destination, ptrdiff_t stride);
#define JPEGKERNELS_DECLARE_TO_PATCH(Name)                                                         \
    KernelStatus Name(const int16_t* coefficients, const int16_t* quantTable, uint8_t* destination, \
                      ptrdiff_t stride);
#define JPEGKERNELS_DECLARE_EVERY_INDEX(Declare, Name)                           \
    Declare(Name) Declare(Name##_Mmx) Declare(Name##_Sse2) Declare(Name##_Sse3) \
    Declare(Name##_Ssse3) Declare(Name##_Sse41)
JPEGKERNELS_DECLARE_EVERY_INDEX(JPEGKERNELS_DECLARE_TO32, DequantInverseDct8x8To32)
extern const DequantInverseDctTo32Function kDequantInverseDct8x8To32[kProcessorColumns];

// WriteBlock8x8: the 64 samples (natural order) level-shifted and clamped,
// x + 128 limited to 0..255, as an 8 x 8 patch whose rows lie `stride`
// bytes apart. Indexes 1 to 5 take eight samples a step. No checks.
using WriteBlockFunction = void (*)(const int32_t* samples, uint8_t* destination, ptrdiff_t stride);
JPEGKERNELS_DECLARE_EVERY_INDEX(JPEGKERNELS_DECLARE_WRITE_BLOCK, WriteBlock8x8)
extern const WriteBlockFunction kWriteBlock8x8[kProcessorColumns];

// DequantInverseDct8x8ToPatch: the two above in one step, the samples
// staying in registers: what row 13's entry of the same index leaves in its
// output, level-shifted and clamped, as an 8 x 8 patch whose rows lie
// `stride` bytes apart. The coefficients are only read. -8 for a null
// pointer (nothing written), else 0.
using DequantInverseDctToPatchFunction = KernelStatus (*)(const int16_t* coefficients, const int16_t* quantTable,
                                                          uint8_t* destination, ptrdiff_t stride);
JPEGKERNELS_DECLARE_EVERY_INDEX(JPEGKERNELS_DECLARE_TO_PATCH, DequantInverseDct8x8ToPatch)
extern const DequantInverseDctToPatchFunction kDequantInverseDct8x8ToPatch[kProcessorColumns];

// The companions of the column every dispatch stub uses now: a decoder that
// calls row 13 through its stub reaches the matching companions here, never
// a processor build by name.
inline DequantInverseDctTo32Function ChosenDequantInverseDct8x8To32() {
    return kDequantInverseDct8x8To32[ProcessorIndex()];
}
inline WriteBlockFunction ChosenWriteBlock8x8() { return kWriteBlock8x8[ProcessorIndex()]; }
inline DequantInverseDctToPatchFunction ChosenDequantInverseDct8x8ToPatch() {
    return kDequantInverseDct8x8ToPatch[ProcessorIndex()];
}
#undef JPEGKERNELS_DECLARE_EVERY_INDEX
#undef JPEGKERNELS_DECLARE_TO_PATCH
#undef JPEGKERNELS_DECLARE_WRITE_BLOCK
#undef JPEGKERNELS_DECLARE_TO32

}  // namespace jpegkernels
