// Huffman encoding rows of processor index 2 (its bit writer runs the
// schedule of index 3's).
#include "jpegkernels/huffencode/huffman_encode_level.h"

JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL(Sse2, true, true, nullptr)
