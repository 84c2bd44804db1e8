// Lossless encoding rows of processor index 4, with the fast row coder.
#include <pmmintrin.h>

#include "jpegkernels/losslessenc/lossless_encode_fast.h"
#include "jpegkernels/losslessenc/lossless_encode_level.h"

JPEGKERNELS_DEFINE_LDDQU_LOAD
JPEGKERNELS_DEFINE_ENCODE_ROW_FAST(Ssse3)
JPEGKERNELS_DEFINE_LOSSLESS_ENCODE_LEVEL(Ssse3, UnalignedLoad, 2, LosslessEncodeRowFast_Ssse3)
