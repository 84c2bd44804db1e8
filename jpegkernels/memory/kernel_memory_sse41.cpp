// Memory helpers of processor index 5.
#include "jpegkernels/memory/kernel_memory.h"
#include "jpegkernels/memory/kernel_memory_simd.h"

JPEGKERNELS_DEFINE_MEMORY_HELPERS(Sse41, 5)
