// Lossless decoding rows 19, 21 and 22 of processor index 3.
#include "jpegkernels/lossless/lossless_level.h"

JPEGKERNELS_DEFINE_LOSSLESS_LEVEL(Sse3, 2)
