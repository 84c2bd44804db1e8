#pragma once
// SSE2 forms of the full-size transform, the clamped block store and the
// doubling of samples (jpeg_sse2.cpp); results equal the portable forms bit
// for bit.
#include <cstdint>

namespace jpegdec {

inline uint64_t NonzeroMask64(const int16_t* values);

// In place over 64 natural-order values.
void IdctFastSse2(int32_t* values);
// Raw coefficients (zig-zag order) times multipliers (natural order), transformed, level-shifted, clamped
// and stored as 8 rows of 8 bytes.
void IdctFastProgressiveSse2(const int16_t* coefficients, const int32_t* multipliers, uint8_t* out,
                             uint32_t stride);
void StoreBlock8x8Sse2(const int32_t* values, uint8_t* out, uint32_t stride);
// Bit i set when values[i] is not 0 (64 values).
uint64_t NonzeroMask64Sse2(const int16_t* values);
// In place: the first n bytes of the row, each written twice, right to left.
void DoubleSamplesSse2(uint8_t* row, uint32_t n);

inline uint64_t NonzeroMask64(const int16_t* values) {
#if defined(__SSE2__)
    return NonzeroMask64Sse2(values);
#else
    uint64_t mask = 0;
    for (int i = 0; i < 64; ++i) mask |= uint64_t{values[i] != 0} << i;
    return mask;
#endif
}

}  // namespace jpegdec
