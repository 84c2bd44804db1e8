// Colour conversion and level-shift rows of processor index 3.
#include "jpegkernels/colorconv/colorconv_simd.h"

JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Sse3, false, true)
