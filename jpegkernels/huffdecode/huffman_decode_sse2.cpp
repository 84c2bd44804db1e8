// Huffman decoding rows 15 and 18 of processor index 2.
#include "jpegkernels/huffdecode/huffman_decode_level.h"

// The bit-reader build that indexes 2 and 3 share.
JPEGKERNELS_DEFINE_BIT_READER(HuffmanFillBits_Sse2, HuffmanDecodeSymbol_Sse2)
JPEGKERNELS_DEFINE_HUFFMAN_DECODE_LEVEL(Sse2)
