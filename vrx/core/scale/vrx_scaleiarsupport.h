#pragma once
// The arithmetic of integer-ratio averaging: the shift of a power-of-two
// ratio, the width of the sums and the rounded mean.
#include <cstdint>

namespace vrx::averaging {

// j in 1..31 with 2^j = ratio, else 0.
inline uint32_t shift_of(uint32_t ratio) {
    for (uint32_t j = 1; j < 32; ++j)
        if ((uint32_t{1} << j) == ratio) return j;
    return 0;
}

// Sums of more than 65,536 16-bit samples (and the rounding term) pass 32
// bits: such ratios sum in 64 bits.
inline bool needs_wide_sums(uint32_t ratio) { return ratio > 65536; }

// (sum + ratio / 2) >> shift, or / ratio when the ratio is not a power of two.
template <class S>
S mean(S sum, uint32_t ratio, uint32_t shift) {
    const S rounded = sum + ratio / 2;
    return shift != 0 ? rounded >> shift : rounded / ratio;
}

}  // namespace vrx::averaging
