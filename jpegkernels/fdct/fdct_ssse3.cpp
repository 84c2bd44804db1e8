// Forward DCT, quantiser and quantisation-table kernels of processor index 4.
#include "jpegkernels/fdct/fdct_simd.h"

JPEGKERNELS_DEFINE_FDCT_LANE_HELPERS(Ssse3)
JPEGKERNELS_DEFINE_FDCT_LEVEL(Ssse3, true, 2, ConvertU8ToU16Row_Ssse3, 1398101, 2796203)
