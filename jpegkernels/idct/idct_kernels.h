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
#include <cstdint>

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

}  // namespace jpegkernels
