// Forward DCT, quantiser and quantisation-table kernels of processor index 2.
#include "jpegkernels/fdct/fdct_simd.h"

JPEGKERNELS_DEFINE_FDCT_LANE_HELPERS(Sse2)
JPEGKERNELS_DEFINE_FDCT_LEVEL(Sse2, true, 1, ConvertU8ToU16Row_Sse2, 699050, 1398101)
