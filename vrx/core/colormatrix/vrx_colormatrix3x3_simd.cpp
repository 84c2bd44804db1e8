#include "vrx/core/colormatrix/vrx_colormatrix3x3_simd.h"

namespace vrx {

bool colormatrix3x3_simd_suits(const int32_t m[9], const int32_t k[3]) {
    for (int i = 0; i < 9; ++i)
        if (m[i] < INT16_MIN || m[i] > INT16_MAX) return false;
    for (int r = 0; r < 3; ++r)
        if (k[r] < -(1 << 30) || k[r] > (1 << 30)) return false;
    return true;
}

VRX_ColorMatrix3x3Kernel colormatrix3x3_q12_u8_kernel() {
    if (colormatrix3x3_avx2_available()) return colormatrix3x3_q12_u8_avx2;
    if (colormatrix3x3_ssse3_available()) return colormatrix3x3_q12_u8_ssse3;
    return nullptr;
}

}  // namespace vrx
