// Dequantisation and inverse DCT of processor index 5.
#include "jpegkernels/idct/idct_kernels.h"
#include "jpegkernels/idct/idct_simd.h"
#include "jpegkernels/kernel_checks.h"

JPEGKERNELS_DEFINE_WIDE_IDCT(Sse41)
