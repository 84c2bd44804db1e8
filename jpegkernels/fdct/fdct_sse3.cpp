// Forward DCT, quantiser and quantisation-table kernels of processor index 3.
#include "jpegkernels/fdct/fdct_simd.h"

JPEGKERNELS_DEFINE_FDCT_LANE_HELPERS(Sse3)
JPEGKERNELS_DEFINE_FDCT_LEVEL(Sse3, true, 2, ConvertU8ToU16Row_Sse3, 699050, 1398101)
