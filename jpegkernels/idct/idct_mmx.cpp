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
    if (RegistersApply(coefficients, output, quantTable)) {
        DequantInverseDctRegisters<false>(coefficients, output, quantTable);
    } else {
        DequantBlock_Mmx(coefficients, output, quantTable);
        InverseDct8x8_Mmx(output, output);
    }
    return kKernelOk;
}

KernelStatus DequantInverseDct8x8To32_Mmx(const int16_t* coefficients, int32_t* output, const int16_t* quantTable) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::DequantInverseDct8x8>::Run(
            coefficients, reinterpret_cast<int16_t*>(output), quantTable);
        s != kKernelOk) {
        return s;
    }
    DequantInverseDctRegistersTo32<false>(coefficients, output, quantTable);
    return kKernelOk;
}

void WriteBlock8x8_Mmx(const int32_t* samples, uint8_t* destination, ptrdiff_t stride) {
    WriteBlockLanes<false>(samples, destination, stride);
}

KernelStatus DequantInverseDct8x8ToPatch_Mmx(const int16_t* coefficients, const int16_t* quantTable,
                                          uint8_t* destination, ptrdiff_t stride) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::DequantInverseDct8x8>::Run(
            coefficients, reinterpret_cast<int16_t*>(destination), quantTable);
        s != kKernelOk) {
        return s;
    }
    DequantInverseDctRegistersToPatch<false>(coefficients, quantTable, destination, stride);
    return kKernelOk;
}

}  // namespace jpegkernels
