// Dequantisation and inverse DCT of processor index 1: 64-bit lanes.
#include "jpegkernels/idct/idct_kernels.h"
#include "jpegkernels/idct/idct_simd.h"
#include "jpegkernels/kernel_checks.h"

namespace jpegkernels {

void DequantBlock_Mmx(const int16_t* coefficients, int16_t* output, const int16_t* table) {
    DequantWrap(coefficients, output, table);
}

void InverseDct8x8_Mmx(const int16_t* input, int16_t* output) { InverseDctNarrow(input, output); }

KernelStatus DequantInverseDct8x8_Mmx(const int16_t* coefficients, int16_t* output, const int16_t* quantTable) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::DequantInverseDct8x8>::Run(coefficients, output, quantTable);
        s != kKernelOk) {
        return s;
    }
    if (PartlyOverlap(coefficients, output)) {
        DequantBlock_Mmx(coefficients, output, quantTable);
        InverseDct8x8_Mmx(output, output);
    } else {
        DequantInverseDctRegisters<false>(coefficients, output, quantTable);
    }
    return kKernelOk;
}

}  // namespace jpegkernels
