// Forward DCT, quantiser and quantisation-table kernels of processor index 5.
#include "jpegkernels/fdct/fdct_simd.h"

JPEGKERNELS_DEFINE_FDCT_LANE_HELPERS(Sse41)
JPEGKERNELS_DEFINE_FDCT_LEVEL(Sse41, true, 2, ConvertU8ToU16Row_Sse41, 1398101, 2796203)
