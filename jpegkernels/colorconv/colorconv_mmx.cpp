// Colour conversion and level-shift rows of processor index 1.
#include "jpegkernels/colorconv/colorconv_simd.h"

JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Mmx, false, false)
