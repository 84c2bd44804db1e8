// Lossless encoding rows of processor index 3.
#include <pmmintrin.h>

#include "jpegkernels/losslessenc/lossless_encode_level.h"

JPEGKERNELS_DEFINE_LDDQU_LOAD
JPEGKERNELS_DEFINE_LOSSLESS_ENCODE_LEVEL(Sse3, UnalignedLoad, 2, nullptr)
