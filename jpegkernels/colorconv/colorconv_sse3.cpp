// Colour conversion and level-shift rows of processor index 3, and the
// decoder's interleaving companion of that index.
#include "jpegkernels/colorconv/colorconv_simd.h"
#include "jpegkernels/colorconv/interleave_simd.h"

JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Sse3, false, true)
JPEGKERNELS_DEFINE_INTERLEAVE(Sse3, InterleaveUnpacked)
