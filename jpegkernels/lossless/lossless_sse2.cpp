// Lossless decoding rows of processor index 2, with the fast row decoder;
// its row-20 entry serves index 3 as well.
#include "jpegkernels/lossless/lossless_decode_fast.h"
#include "jpegkernels/lossless/lossless_level.h"

JPEGKERNELS_DEFINE_LOSSLESS_LEVEL(Sse2, 1)
JPEGKERNELS_DEFINE_FAST_DECODE_ROW(Sse2)
