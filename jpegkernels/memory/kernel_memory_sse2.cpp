// Memory helpers of processor index 2.
#include "jpegkernels/memory/kernel_memory.h"
#include "jpegkernels/memory/kernel_memory_simd.h"

JPEGKERNELS_DEFINE_MEMORY_HELPERS(Sse2, 2)
