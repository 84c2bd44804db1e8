#pragma once
// The Q12 3 x 3 colour matrix on 8-bit pixels with byte shuffles and 16-bit
// multiply-adds: 16 pixels a step with SSSE3, 32 with AVX2. Each kernel
// converts the first whole steps of a line and returns the pixels done; the
// caller finishes the line. Results equal the plain kernel's when every
// coefficient fits 16 bits and every constant lies within +-2^30: the
// products of 8-bit samples are then exact, their sums with the constant
// and the rounding term 2048 cannot wrap, and the sum is rounded by
// (v + 2048) >> 12 and clamped to 0 .. 255 by saturating packs.
#include <cstddef>
#include <cstdint>

namespace vrx {

using VRX_ColorMatrix3x3Kernel = size_t (*)(const uint8_t* in, uint8_t* out, size_t width,
                                            const int16_t m[9], const int32_t k[3]);

// Whether m and k meet the kernels' bounds.
bool colormatrix3x3_simd_suits(const int32_t m[9], const int32_t k[3]);

// The fastest kernel the processor runs, or null.
VRX_ColorMatrix3x3Kernel colormatrix3x3_q12_u8_kernel();

// The kernels themselves (they return 0 where they are not built).
bool colormatrix3x3_ssse3_available();
size_t colormatrix3x3_q12_u8_ssse3(const uint8_t* in, uint8_t* out, size_t width,
                                   const int16_t m[9], const int32_t k[3]);
bool colormatrix3x3_avx2_available();
size_t colormatrix3x3_q12_u8_avx2(const uint8_t* in, uint8_t* out, size_t width, const int16_t m[9],
                                  const int32_t k[3]);

}  // namespace vrx
