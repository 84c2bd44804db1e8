// Lossless encoding rows of processor index 5, with the fast row coder.
#include <pmmintrin.h>

#include "jpegkernels/losslessenc/lossless_encode_fast.h"
#include "jpegkernels/losslessenc/lossless_encode_level.h"

JPEGKERNELS_DEFINE_LDDQU_LOAD
JPEGKERNELS_DEFINE_ENCODE_ROW_FAST(Sse41)
JPEGKERNELS_DEFINE_LOSSLESS_ENCODE_LEVEL(Sse41, UnalignedLoad, 2, LosslessEncodeRowFast_Sse41)
