// Huffman encoding rows of processor index 1: the counting bit writer, a
// fast kernel testing four lanes at a time, and a checked zero-fill that
// streams large areas past the cache.
#include "jpegkernels/huffencode/huffman_encode_level.h"

JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL(Mmx, false, false, KernelZeroStreaming_Mmx)
