// Huffman decoding rows 15 and 18 of processor index 5.
#include "jpegkernels/huffdecode/huffman_decode_level.h"

JPEGKERNELS_DEFINE_HUFFMAN_DECODE_LEVEL(Sse41)
