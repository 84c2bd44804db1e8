// Huffman encoding rows of processor index 5.
#include "jpegkernels/huffencode/huffman_encode_level.h"

JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL(Sse41, true, true, nullptr)
JPEGKERNELS_DEFINE_PUT_BITS(Sse41)
