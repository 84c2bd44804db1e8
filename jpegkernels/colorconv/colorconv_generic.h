#pragma once
// The generic arithmetic of rows 1 to 6 over a whole MCU. Internal linkage:
// the generic entries use it, and the processor entries of row 3 fall back
// on it for a Y plane off a 16-byte boundary.
#include <cstdint>

#include "jpegkernels/kernel_checks.h"

namespace jpegkernels {
namespace {

inline int16_t GenericY(int32_t r, int32_t g, int32_t b) {
    return static_cast<int16_t>(((19595 * r + 38470 * g + 7471 * b) >> 16) - 128);
}
// From the channel sums of 2^k pixels.
inline int16_t GenericCb(int32_t r, int32_t g, int32_t b, int k) {
    return static_cast<int16_t>((-11059 * r - 21709 * g + 32768 * b) >> (16 + k));
}
inline int16_t GenericCr(int32_t r, int32_t g, int32_t b, int k) {
    return static_cast<int16_t>((32768 * r - 27439 * g - 5329 * b) >> (16 + k));
}

// An MCU of 8H x 8V pixels (H, V = 1 or 2); Convert: RGB to YCbCr, else the
// channels level-shifted.
template <int H, int V, bool Convert>
inline void ConvertMcuGeneric(const uint8_t* source, int32_t rowStep, int16_t* y, int16_t* cb, int16_t* cr) {
    constexpr int k = (H - 1) + (V - 1);
    for (int r = 0; r < 8 * V; ++r) {
        const uint8_t* row = source + static_cast<int64_t>(r) * rowStep;
        for (int c = 0; c < 8 * H; ++c) {
            const uint8_t* px = row + 3 * c;
            y[128 * (r / 8) + 64 * (c / 8) + 8 * (r % 8) + c % 8] =
                Convert ? GenericY(px[0], px[1], px[2]) : static_cast<int16_t>(px[0] - 128);
        }
    }
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j) {
            int32_t r = 0, g = 0, b = 0;
            for (int dy = 0; dy < V; ++dy) {
                const uint8_t* px = source + static_cast<int64_t>(V * i + dy) * rowStep + 3 * H * j;
                for (int dx = 0; dx < H; ++dx) {
                    r += px[3 * dx];
                    g += px[3 * dx + 1];
                    b += px[3 * dx + 2];
                }
            }
            if constexpr (Convert) {
                cb[8 * i + j] = GenericCb(r, g, b, k);
                cr[8 * i + j] = GenericCr(r, g, b, k);
            } else {
                cb[8 * i + j] = static_cast<int16_t>((g - (128 << k)) >> k);
                cr[8 * i + j] = static_cast<int16_t>((b - (128 << k)) >> k);
            }
        }
    }
}

template <KernelRow Row, int H, int V, bool Convert>
inline KernelStatus GenericMcuEntry(const uint8_t* source, int32_t rowStep, int16_t* const* planes) {
    if (KernelStatus s = KernelArgumentCheck<Row>::Run(source, rowStep, planes); s != kKernelOk) return s;
    ConvertMcuGeneric<H, V, Convert>(source, rowStep, planes[0], planes[1], planes[2]);
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels
