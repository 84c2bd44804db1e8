// Huffman encoding rows of processor index 3.
#include "jpegkernels/huffencode/huffman_encode_level.h"

JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL(Sse3, true, true, nullptr)
JPEGKERNELS_DEFINE_PUT_BITS(Sse3)
