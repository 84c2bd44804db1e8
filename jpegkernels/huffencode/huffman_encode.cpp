// Huffman encoding rows of processor index 0, and the size rows 9 and 29
// that every index shares.
#include "jpegkernels/huffencode/block_encode.h"
#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/huffencode/huffman_tables.h"
#include "jpegkernels/memory/kernel_memory.h"

namespace jpegkernels {
namespace {
constexpr KernelMemoryHelpers kLevelMemory{KernelZero, KernelCopy, KernelFill32, KernelCopyChecked};
}

KernelStatus HuffmanPutBits(uint32_t code, uint32_t length, uint8_t* buffer, int32_t size, uint32_t* position,
                            HuffmanEncoderState* state) {
    return PutBits<false>(code, length, buffer, size, position, state);
}

KernelStatus KernelZeroChecked(void* destination, int32_t count) {
    return ZeroChecked<KernelZero, nullptr>(destination, count);
}

KernelStatus HuffmanEncoderStateReset(HuffmanEncoderState* state) {
    return ResetEncoderState<KernelZeroChecked>(state);
}

KernelStatus HuffmanEncoderStateInit(HuffmanEncoderState* state) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanEncoderStateInit>::Run(state); s != kKernelOk) return s;
    HuffmanEncoderStateReset(state);
    return kKernelOk;
}

KernelStatus HuffmanEncodeBlock8x8(const int16_t* block, uint8_t* buffer, int32_t size, uint32_t* position,
                                   int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,
                                   const HuffmanEncoderTable* acTable, HuffmanEncoderState* state, uint32_t flush) {
    return EncodeBlockEntry<HuffmanPutBits, HuffmanEncoderStateReset, nullptr>(
        block, buffer, size, position, dcPredictor, dcTable, acTable, state, flush);
}

KernelStatus HuffmanEncoderTableInit(const uint8_t* bits, const uint8_t* huffval, HuffmanEncoderTable* table) {
    return BuildEncoderTable<kLevelMemory>(bits, huffval, table);
}

KernelStatus HuffmanTableFromStatistics(const int32_t* counts, uint8_t* bits, uint8_t* huffval) {
    return CodesFromStatistics<kLevelMemory>(counts, bits, huffval);
}

KernelStatus HuffmanEncoderTableSize(int32_t* size) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanEncoderTableSize>::Run(size); s != kKernelOk) return s;
    *size = kHuffmanEncoderTableSize;
    return kKernelOk;
}

KernelStatus HuffmanTableFromStatisticsBufferSize(int32_t* size) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanTableFromStatisticsBufferSize>::Run(size);
        s != kKernelOk) {
        return s;
    }
    *size = kHuffmanTableFromStatisticsBufferSize;
    return kKernelOk;
}

}  // namespace jpegkernels
