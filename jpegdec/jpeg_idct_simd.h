#pragma once
// SSE2 forms of the full-size transform and the clamped block store
// (jpeg_idct_sse2.cpp); results equal the portable forms bit for bit.
#include <cstdint>

namespace jpegdec {

// In place over 64 natural-order values.
void IdctFastSse2(int32_t* values);
// Raw coefficients times multipliers, transformed, level-shifted, clamped
// and stored as 8 rows of 8 bytes.
void IdctFastProgressiveSse2(const int16_t* coefficients, const int32_t* multipliers, uint8_t* out,
                             uint32_t stride);
void StoreBlock8x8Sse2(const int32_t* values, uint8_t* out, uint32_t stride);

}  // namespace jpegdec
