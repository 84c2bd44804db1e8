// Huffman encoding rows of processor index 4.
#include "jpegkernels/huffencode/huffman_encode_level.h"

JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL(Ssse3, true, true, nullptr)
JPEGKERNELS_DEFINE_PUT_BITS(Ssse3)
