// Huffman decoding rows of processor index 0, the rows that every column
// shares (14, 16, 17), and the generic build of the bit reader.
#include "jpegkernels/huffdecode/bit_reader.h"
#include "jpegkernels/huffdecode/huffman_decode_kernels.h"
#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/memory/kernel_memory.h"

JPEGKERNELS_DEFINE_BIT_READER(HuffmanFillBits, HuffmanDecodeSymbol)

namespace jpegkernels {

KernelStatus HuffmanDecoderTableSize(int32_t* size) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecoderTableSize>::Run(size); s != kKernelOk) return s;
    *size = kHuffmanDecoderTableSize;
    return kKernelOk;
}

KernelStatus HuffmanDecoderStateSize(int32_t* size) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecoderStateSize>::Run(size); s != kKernelOk) return s;
    *size = kHuffmanDecoderStateSize;
    return kKernelOk;
}

KernelStatus HuffmanDecoderStateInit(HuffmanDecoderState* state) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecoderStateInit>::Run(state); s != kKernelOk) {
        return s;
    }
    state->bitBuffer = 0;
    state->clearedWord = 0;
    state->bitCount = 0;
    state->reserved0 = 0;
    state->coefficientExtent = 0;
    return kKernelOk;
}

KernelStatus HuffmanDecoderTableInit(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecoderTableInit>::Run(bits, huffval, table);
        s != kKernelOk) {
        return s;
    }
    return BuildDecoderTable<KernelZero>(bits, huffval, table);
}

KernelStatus HuffmanDecodeBlock8x8(const uint8_t* data, int32_t length, uint32_t* position, int16_t* block,
                                   int16_t* dcPredictor, MarkerWord* marker, const HuffmanDecoderTable* dcTable,
                                   const HuffmanDecoderTable* acTable, HuffmanDecoderState* state) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecodeBlock8x8>::Run(
            data, length, position, block, dcPredictor, marker, dcTable, acTable, state);
        s != kKernelOk) {
        return s;
    }
    return DecodeBlockGeneral<KernelZero>(data, length, position, block, dcPredictor, marker, dcTable, acTable,
                                          state);
}

}  // namespace jpegkernels
