#pragma once
// The arithmetic of integer-ratio averaging: the shift of a power-of-two
// ratio, the width of the sums and the rounded mean.
#include <cstdint>
#include <utility>

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

// f(S{}) with S the narrowest unsigned type that holds a sum of `ratio`
// samples of T and the rounding term: 16 bits for up to 256 8-bit samples
// (twice the lanes of 32-bit sums), 32 bits up to 65,536 samples, else 64.
template <class T, class F>
decltype(auto) with_sum_type(uint32_t ratio, F&& f) {
    if (sizeof(T) == 1 && ratio <= 256) return f(uint16_t{});
    if (!needs_wide_sums(ratio)) return f(uint32_t{});
    return f(uint64_t{});
}

// (sum + ratio / 2) >> shift, or / ratio when the ratio is not a power of two.
template <class S>
S mean(S sum, uint32_t ratio, uint32_t shift) {
    const S rounded = sum + ratio / 2;
    return shift != 0 ? rounded >> shift : rounded / ratio;
}

}  // namespace vrx::averaging
