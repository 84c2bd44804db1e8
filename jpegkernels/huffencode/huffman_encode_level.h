#pragma once
// Rows 8, 10, 11 and 28 of processor indexes 1 to 5, with their fast block
// encoder, writer reset and checked zero-fill. Each level's translation
// unit includes this once and expands JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL
// with its suffix, its bit-writer schedule, whether its fast kernel tests
// eight lanes at a time, and its streaming zero-fill (nullptr for none).
#include "jpegkernels/huffencode/block_encode.h"
#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/huffencode/huffman_tables.h"
#include "jpegkernels/memory/kernel_memory.h"

#define JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL(Suffix, FixedCount, Wide, Streaming)                           \
    namespace jpegkernels {                                                                                  \
    namespace {                                                                                              \
    constexpr KernelMemoryHelpers kLevelMemory{KernelZero_##Suffix, KernelCopy_##Suffix, KernelFill32_##Suffix, \
                                               KernelCopyChecked_##Suffix};                                  \
    }                                                                                                        \
    KernelStatus KernelZeroChecked_##Suffix(void* destination, int32_t count) {                               \
        return ZeroChecked<KernelZero_##Suffix, Streaming>(destination, count);                              \
    }                                                                                                        \
    KernelStatus HuffmanEncoderStateReset_##Suffix(HuffmanEncoderState* state) {                             \
        return ResetEncoderState<KernelZeroChecked_##Suffix>(state);                                         \
    }                                                                                                        \
    KernelStatus HuffmanEncoderStateInit_##Suffix(HuffmanEncoderState* state) {                              \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanEncoderStateInit>::Run(state);            \
            s != kKernelOk) {                                                                                \
            return s;                                                                                        \
        }                                                                                                    \
        HuffmanEncoderStateReset_##Suffix(state);                                                            \
        return kKernelOk;                                                                                    \
    }                                                                                                        \
    KernelStatus HuffmanEncodeBlockFast_##Suffix(const int16_t* block, uint8_t* buffer, int32_t size,          \
                                                 uint32_t* position, int16_t* dcPredictor,                   \
                                                 const HuffmanEncoderTable* dcTable,                         \
                                                 const HuffmanEncoderTable* acTable, HuffmanEncoderState* state) { \
        return EncodeBlockFast<Wide>(block, buffer, size, position, dcPredictor, dcTable, acTable, state);    \
    }                                                                                                        \
    KernelStatus HuffmanEncodeBlock8x8_##Suffix(const int16_t* block, uint8_t* buffer, int32_t size,           \
                                                uint32_t* position, int16_t* dcPredictor,                    \
                                                const HuffmanEncoderTable* dcTable,                          \
                                                const HuffmanEncoderTable* acTable, HuffmanEncoderState* state, \
                                                uint32_t flush) {                                            \
        return EncodeBlockEntry<PutBits<FixedCount>, HuffmanEncoderStateReset_##Suffix,                      \
                                HuffmanEncodeBlockFast_##Suffix>(block, buffer, size, position, dcPredictor,  \
                                                                 dcTable, acTable, state, flush);            \
    }                                                                                                        \
    KernelStatus HuffmanEncoderTableInit_##Suffix(const uint8_t* bits, const uint8_t* huffval,                \
                                                  HuffmanEncoderTable* table) {                              \
        return BuildEncoderTable<kLevelMemory>(bits, huffval, table);                                        \
    }                                                                                                        \
    KernelStatus HuffmanTableFromStatistics_##Suffix(const int32_t* counts, uint8_t* bits, uint8_t* huffval) { \
        return CodesFromStatistics<kLevelMemory>(counts, bits, huffval);                                     \
    }                                                                                                        \
    }

// The exported bit writer of a level (the entries use their inline copy).
#define JPEGKERNELS_DEFINE_PUT_BITS(Suffix)                                                                   \
    namespace jpegkernels {                                                                                  \
    KernelStatus HuffmanPutBits_##Suffix(uint32_t code, uint32_t length, uint8_t* buffer, int32_t size,       \
                                         uint32_t* position, HuffmanEncoderState* state) {                   \
        return PutBits<true>(code, length, buffer, size, position, state);                                   \
    }                                                                                                        \
    }
