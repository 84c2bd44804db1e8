// Forward DCT, quantisation and quantisation-table preparation of processor
// index 0: 32-bit fixed point, rows then columns.
#include "jpegkernels/fdct/fdct_kernels.h"
#include "jpegkernels/fdct/quant_table.h"
#include "jpegkernels/memory/kernel_memory.h"

namespace jpegkernels {
namespace {

// 32-bit two's complement arithmetic: sums and products wrap, right shifts
// are arithmetic.
using Word = uint32_t;
inline Word W(int32_t v) { return static_cast<Word>(v); }
inline int32_t Sar(Word v, int n) { return static_cast<int32_t>(v) >> n; }
inline int16_t Low16(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<Word>(v))); }

// One 8-point transform over x[0], x[stride], ... x[7 * stride], in place.
// The row pass keeps three extra bits (the DC and 4 terms times 8, the rest
// rounded at 2^12); the column pass removes them (2^6, 2^21).
template <bool Columns>
inline void Transform8(int16_t* x, int stride) {
    const Word x0 = W(x[0]), x1 = W(x[stride]), x2 = W(x[2 * stride]), x3 = W(x[3 * stride]);
    const Word x4 = W(x[4 * stride]), x5 = W(x[5 * stride]), x6 = W(x[6 * stride]), x7 = W(x[7 * stride]);
    const Word s07 = x0 + x7, s16 = x1 + x6, s25 = x2 + x5, s34 = x3 + x4;
    const Word d07 = x0 - x7, d16 = x1 - x6, d25 = x2 - x5, d34 = x3 - x4;
    const Word t10 = s07 + s34, t11 = s16 + s25, t13 = s07 - s34, t12 = s16 - s25;
    auto round = [](Word v) { return Columns ? Sar(v + (1u << 20), 21) : Sar(v + 2048, 12); };
    const Word z = (t13 + t12) * 17734u;
    const Word a = W(Sar(d07 * 46341u + 2048, 12)), b = W(Sar(d34 * 46341u + 2048, 12));
    const Word p = 8 * (d16 + d25), q = 8 * (d16 - d25);
    const Word u = a + p, w = b + q, z1 = (u + w) * 799u;
    const Word u2 = a - p, w2 = b - q, z3 = (u2 + w2) * 3406u;
    int32_t y[8];
    if constexpr (Columns) {
        y[0] = Sar(t10 + t11 + 32, 6);
        y[4] = Sar(t10 - t11 + 32, 6);
    } else {
        y[0] = static_cast<int32_t>((t10 + t11) * 8);
        y[4] = static_cast<int32_t>((t10 - t11) * 8);
    }
    y[2] = round(t13 * 25080u + z);
    y[6] = round(t12 * W(-60547) + z);
    y[1] = round(u * 3218u + z1);
    y[7] = round(w * W(-4816) + z1);
    y[3] = round(z3 + w2 * W(-5681));
    y[5] = round(z3 + u2 * W(-1130));
    for (int k = 0; k < 8; ++k) x[k * stride] = Low16(y[k]);
}

inline int16_t Saturate16(int64_t v) { return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v)); }

inline void WidenRowOneByOne(const uint8_t* source, uint16_t* destination, int64_t count, bool) {
    for (int64_t i = 0; i < count; ++i) destination[i] = source[i];
}

}  // namespace

void ForwardDct8x8Core(const int16_t* source, int16_t* destination) {
    for (int r = 0; r < 8; ++r) {
        int16_t row[8];
        for (int c = 0; c < 8; ++c) row[c] = source[8 * r + c];
        Transform8<false>(row, 1);
        for (int c = 0; c < 8; ++c) destination[8 * r + c] = row[c];
    }
    for (int c = 0; c < 8; ++c) Transform8<true>(destination + c, 8);
}

KernelStatus ForwardDct8x8(int16_t* block) {
    if (block == nullptr) return kKernelNullPointer;
    ForwardDct8x8Core(block, block);
    return kKernelOk;
}

KernelStatus KernelZero16Checked(int16_t* destination, int32_t count) {
    return Zero16Checked<KernelZero, nullptr, 0>(destination, count);
}

KernelStatus MultiplyScaled16(const uint16_t* table, const int16_t* source, int16_t* destination, int32_t count,
                              int32_t scale) {
    if (table == nullptr || source == nullptr || destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    if (scale >= 32) return KernelZero16Checked(destination, count);
    auto product = [&](int32_t i) {
        return static_cast<int32_t>(Element16(table, i)) * static_cast<int16_t>(Element16(source, i));
    };
    auto store = [&](int32_t i, int64_t v) { SetElement16(destination, i, Saturate16(v)); };
    if (scale == 0) {
        for (int32_t i = 0; i < count; ++i) store(i, product(i));
    } else if (scale == 1) {
        for (int32_t i = 0; i < count; ++i) {
            const int32_t p = product(i);
            store(i, (static_cast<int64_t>(p) + ((p >> 1) & 1)) >> 1);
        }
    } else if (scale > 1) {
        const int32_t bias = (1 << (scale - 1)) - 1;
        for (int32_t i = 0; i < count; ++i) {
            const int32_t p = product(i);
            const int32_t r = ((p >> 1) + (((p & 1) + bias + ((p >> scale) & 1)) >> 1)) >> (scale - 1);
            store(i, r);
        }
    } else if (scale >= -14) {
        for (int32_t i = 0; i < count; ++i) {
            store(i, static_cast<int64_t>(Saturate16(product(i))) * (int64_t{1} << -scale));
        }
    } else {
        for (int32_t i = 0; i < count; ++i) {
            const int16_t s = static_cast<int16_t>(Element16(source, i));
            store(i, Element16(table, i) == 0 || s == 0 ? 0 : (s > 0 ? 32767 : -32768));
        }
    }
    return kKernelOk;
}

KernelStatus ForwardDctQuant8x8(int16_t* block, const uint16_t* reciprocals) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::ForwardDctQuant8x8>::Run(block, reciprocals); s != kKernelOk) {
        return s;
    }
    ForwardDct8x8(block);
    MultiplyScaled16(reciprocals, block, block, 64, 15);
    return kKernelOk;
}

KernelStatus ConvertU8ToU16(const uint8_t* source, int32_t sourceStep, uint16_t* destination, int32_t destinationStep,
                            int32_t width, int32_t height) {
    return WidenRectangle(source, sourceStep, destination, destinationStep, width, height, 0, 0, WidenRowOneByOne);
}

KernelStatus ZigzagToNatural16(const uint16_t* source, uint16_t* destination) {
    return ReorderZigzag<1>(source, destination);
}

KernelStatus DivideValueBy16(const uint16_t* source, uint16_t value, uint16_t* destination, int32_t count) {
    return DivideInteger<KernelZero16Checked>(source, value, destination, count);
}

KernelStatus DivideValueBy16InPlace(uint16_t value, uint16_t* array, int32_t count) {
    if (array == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    return DivideValueBy16(array, value, array, count);
}

KernelStatus QuantTableInit(const uint8_t* zigzagTable, uint16_t* reciprocals) {
    return PrepareQuantTable<ConvertU8ToU16, ZigzagToNatural16, DivideValueBy16InPlace>(zigzagTable, reciprocals);
}

}  // namespace jpegkernels
