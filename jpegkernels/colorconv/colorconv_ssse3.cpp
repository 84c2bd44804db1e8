// Colour conversion and level-shift rows of processor index 4.
#include "jpegkernels/colorconv/colorconv_simd.h"

JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Ssse3, true, true)
