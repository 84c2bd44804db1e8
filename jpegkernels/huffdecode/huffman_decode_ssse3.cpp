// Huffman decoding rows 15 and 18 of processor index 4.
#include "jpegkernels/huffdecode/huffman_decode_level.h"

// The bit-reader build that indexes 4 and 5 share.
JPEGKERNELS_DEFINE_BIT_READER(HuffmanFillBits_Ssse3, HuffmanDecodeSymbol_Ssse3)
JPEGKERNELS_DEFINE_HUFFMAN_DECODE_LEVEL(Ssse3)
