// Lossless decoding rows of processor index 5, with the fast row decoder.
#include "jpegkernels/lossless/lossless_decode_fast.h"
#include "jpegkernels/lossless/lossless_level.h"

JPEGKERNELS_DEFINE_LOSSLESS_LEVEL(Sse41, 2)
JPEGKERNELS_DEFINE_FAST_DECODE_ROW(Sse41)
