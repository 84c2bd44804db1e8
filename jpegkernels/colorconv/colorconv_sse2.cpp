// Colour conversion and level-shift rows of processor index 2, and the
// decoder's interleaving companion of that index.
#include "jpegkernels/colorconv/colorconv_simd.h"
#include "jpegkernels/colorconv/interleave_simd.h"

JPEGKERNELS_DEFINE_COLORCONV_LEVEL(Sse2, true, true)
JPEGKERNELS_DEFINE_INTERLEAVE(Sse2, InterleaveUnpacked)
