// Memory helpers of processor index 4.
#include "jpegkernels/memory/kernel_memory.h"
#include "jpegkernels/memory/kernel_memory_simd.h"

JPEGKERNELS_DEFINE_MEMORY_HELPERS(Ssse3, 4)
