// Colour conversion and level-shift rows of processor index 5.
#include "jpegkernels/colorconv/colorconv_simd.h"

JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Sse41, true, true)
