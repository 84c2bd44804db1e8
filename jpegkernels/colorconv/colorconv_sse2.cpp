// Colour conversion and level-shift rows of processor index 2.
#include "jpegkernels/colorconv/colorconv_simd.h"

JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Sse2, true, true)
