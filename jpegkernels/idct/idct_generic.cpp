// Generic dequantisation and inverse DCT (processor index 0).
//
// The transform is separable: a one-dimensional step runs down the eight
// columns (rounding 2048, shift 12), then along the eight rows (rounding
// 2^20, shift 21), in place in the 16-bit block. All arithmetic is 32-bit
// two's complement that wraps; every pass result is stored as its low 16
// bits. There is no zero-coefficient shortcut: every block costs the same.
#include "jpegkernels/idct/idct_kernels.h"
#include "jpegkernels/kernel_checks.h"

namespace jpegkernels {
namespace {

// Wrapping 32-bit arithmetic on signed values.
inline int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t Mul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

// Eight inputs at stride, eight outputs written back at the same places.
template <int32_t Rounding, int Shift>
inline void Step(int16_t* v, int stride) {
    const int32_t x0 = v[0], x1 = v[stride], x2 = v[2 * stride], x3 = v[3 * stride];
    const int32_t x4 = v[4 * stride], x5 = v[5 * stride], x6 = v[6 * stride], x7 = v[7 * stride];

    // Odd part: rotations of (1, 7) and (3, 5).
    const int32_t t1 = Mul(6393, Add(x1, x7));
    const int32_t a = Add(t1, Mul(25746, x1));
    const int32_t b = Sub(t1, Mul(38531, x7));
    const int32_t t2 = Mul(27246, Add(x3, x5));
    const int32_t c = Sub(t2, Mul(9041, x5));
    const int32_t d = Sub(t2, Mul(45451, x3));
    const int32_t p = Mul(Add(Add(a, c), 2048) >> 12, 5793);
    const int32_t q = Mul(Add(Add(b, d), 2048) >> 12, 5793);
    const int32_t m = Add(Sub(a, c), Sub(b, d));
    const int32_t w = Sub(Sub(a, c), Sub(b, d));

    // Even part: (0, 4) and the rotation of (2, 6).
    const int32_t e0 = Add(Mul(32768, x0), Mul(32768, x4));
    const int32_t e1 = Sub(Mul(32768, x0), Mul(32768, x4));
    const int32_t t3 = Mul(17734, Add(x2, x6));
    const int32_t g = Add(t3, Mul(25080, x2));
    const int32_t h = Sub(t3, Mul(60547, x6));

    auto out = [](int32_t s) { return static_cast<int16_t>(Add(s, Rounding) >> Shift); };
    v[0] = out(Add(Add(e0, g), p));
    v[7 * stride] = out(Sub(Add(e0, g), p));
    v[stride] = out(Add(Add(e1, h), m));
    v[6 * stride] = out(Sub(Add(e1, h), m));
    v[2 * stride] = out(Add(Sub(e1, h), w));
    v[5 * stride] = out(Sub(Sub(e1, h), w));
    v[3 * stride] = out(Add(Sub(e0, g), q));
    v[4 * stride] = out(Sub(Sub(e0, g), q));
}

}  // namespace

KernelStatus DequantBlock(const int16_t* source, const int16_t* table, int16_t* destination, int32_t count) {
    if (source == nullptr || table == nullptr || destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t p = static_cast<int32_t>(source[i]) * table[i];
        destination[i] = static_cast<int16_t>(p >= 32767 ? 32767 : p < -32768 ? -32768 : p);
    }
    return kKernelOk;
}

KernelStatus InverseDct8x8(int16_t* block) {
    if (block == nullptr) return kKernelNullPointer;
    for (int u = 0; u < 8; ++u) Step<2048, 12>(block + u, 8);
    for (int v = 0; v < 8; ++v) Step<1048576, 21>(block + 8 * v, 1);
    return kKernelOk;
}

KernelStatus DequantInverseDct8x8(const int16_t* coefficients, int16_t* output, const int16_t* quantTable) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::DequantInverseDct8x8>::Run(coefficients, output, quantTable);
        s != kKernelOk) {
        return s;
    }
    DequantBlock(coefficients, quantTable, output, 64);
    InverseDct8x8(output);
    return kKernelOk;
}

KernelStatus DequantInverseDct8x8To32(const int16_t* coefficients, int32_t* output, const int16_t* quantTable) {
    int16_t samples[64];
    if (KernelStatus s = DequantInverseDct8x8(coefficients, output == nullptr ? nullptr : samples, quantTable);
        s != kKernelOk) {
        return s;
    }
    for (int i = 0; i < 64; ++i) output[i] = samples[i];
    return kKernelOk;
}

void WriteBlock8x8(const int32_t* samples, uint8_t* destination, ptrdiff_t stride) {
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int32_t v = samples[8 * y + x];
            destination[y * stride + x] = static_cast<uint8_t>(v < -128 ? 0 : v > 127 ? 255 : v + 128);
        }
    }
}

KernelStatus DequantInverseDct8x8ToPatch(const int16_t* coefficients, const int16_t* quantTable, uint8_t* destination,
                                         ptrdiff_t stride) {
    int32_t samples[64];
    if (KernelStatus s = DequantInverseDct8x8To32(coefficients, destination == nullptr ? nullptr : samples, quantTable);
        s != kKernelOk) {
        return s;
    }
    WriteBlock8x8(samples, destination, stride);
    return kKernelOk;
}

const DequantInverseDctTo32Function kDequantInverseDct8x8To32[kProcessorColumns] = {
    DequantInverseDct8x8To32,      DequantInverseDct8x8To32_Mmx,   DequantInverseDct8x8To32_Sse2,
    DequantInverseDct8x8To32_Sse3, DequantInverseDct8x8To32_Ssse3, DequantInverseDct8x8To32_Sse41,
};

const WriteBlockFunction kWriteBlock8x8[kProcessorColumns] = {
    WriteBlock8x8, WriteBlock8x8_Mmx, WriteBlock8x8_Sse2, WriteBlock8x8_Sse3, WriteBlock8x8_Ssse3, WriteBlock8x8_Sse41,
};

const DequantInverseDctToPatchFunction kDequantInverseDct8x8ToPatch[kProcessorColumns] = {
    DequantInverseDct8x8ToPatch,       DequantInverseDct8x8ToPatch_Mmx,   DequantInverseDct8x8ToPatch_Sse2,
    DequantInverseDct8x8ToPatch_Sse3,  DequantInverseDct8x8ToPatch_Ssse3, DequantInverseDct8x8ToPatch_Sse41,
};

}  // namespace jpegkernels
