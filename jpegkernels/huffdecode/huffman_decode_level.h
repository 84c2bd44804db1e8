#pragma once
// Rows 15 and 18 for processor indexes 1 to 5, and the fast block decoder
// those row-18 entries try first. Each level's translation unit includes
// this once and expands JPEGKERNELS_DEFINE_HUFFMAN_DECODE_LEVEL with its
// suffix; everything else here has internal linkage.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/huffdecode/bit_reader.h"
#include "jpegkernels/huffdecode/bit_window.h"
#include "jpegkernels/huffdecode/huffman_decode_kernels.h"
#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/memory/kernel_memory.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

// Clears the 128 bytes of a block with 16-byte stores: aligned throughout
// when the block is, else unaligned at both ends and aligned in between.
inline void ZeroBlock(int16_t* block) {
    uint8_t* p = reinterpret_cast<uint8_t*>(block);
    const __m128i zero = _mm_setzero_si128();
    if ((Address(p) & 15) == 0) {
        for (int i = 0; i < 128; i += 16) _mm_store_si128(reinterpret_cast<__m128i*>(p + i), zero);
        return;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 112), zero);
    for (uint8_t* a = p + (16 - (Address(p) & 15)); a + 16 <= p + 128; a += 16) {
        _mm_store_si128(reinterpret_cast<__m128i*>(a), zero);
    }
}

// One code of the table and its value bits: the symbol and the EXTEND
// value of its low four bits (a run's size); false to decline. A code of up
// to 8 bits and its value bits are taken with one shift.
inline bool CodeAndValue(BitWindow& w, const HuffmanDecoderTable* table, uint32_t* symbol, int32_t* value) {
    const uint32_t entry = table->lookahead[w.Peek8()];
    const uint32_t n = entry >> 16;
    if (n - 1 < 8) {
        *symbol = entry & 0xFFFF;
        *value = w.ValueAfterCode(static_cast<int32_t>(n), static_cast<int32_t>(*symbol & 15));
        return true;
    }
    if (!w.Symbol(table, symbol)) return false;
    *value = w.Value(static_cast<int32_t>(*symbol & 15));
    return true;
}

// The block through the 64-bit window, committed once at the end; declines
// (nothing committed, the predictor unchanged) whatever the window does not
// handle: a recorded marker, a refill short of a step's bits, no code of up
// to 16 bits, a run past position 63.
inline KernelStatus DecodeBlockFast(const uint8_t* data, int32_t length, uint32_t* position, int16_t* block,
                                    int16_t* dcPredictor, MarkerWord* marker, const HuffmanDecoderTable* dcTable,
                                    const HuffmanDecoderTable* acTable, HuffmanDecoderState* state) {
    if (*marker != 0) return kKernelFastDeclined;
    ZeroBlock(block);
    state->coefficientExtent = 0;
    BitWindow w;
    if (!w.Load(data, length, *position, state) || w.Remaining() < 24 || !w.Fill()) return kKernelFastDeclined;

    uint32_t symbol;
    int32_t value;
    if (!CodeAndValue(w, dcTable, &symbol, &value)) return kKernelFastDeclined;
    const int16_t dc = static_cast<int16_t>(*dcPredictor + value);
    block[0] = dc;

    // k: zig-zag position of the next coefficient.
    int32_t k = 1;
    for (;;) {
        if (!w.Fill() || !CodeAndValue(w, acTable, &symbol, &value)) return kKernelFastDeclined;
        const int32_t run = static_cast<int32_t>((symbol >> 4) & 15);
        const int32_t size = static_cast<int32_t>(symbol & 15);
        if (size != 0) {
            k += run;
            if (k > 63) return kKernelFastDeclined;
            block[kNaturalOrder[k]] = static_cast<int16_t>(value);
            if (++k == 64) break;
        } else {
            if (run != 15) break;  // end of block
            k += 16;
            if (k > 63) return kKernelFastDeclined;
        }
    }
    *dcPredictor = dc;
    state->coefficientExtent = k;
    w.Commit(state, position);
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels

#define JPEGKERNELS_DEFINE_HUFFMAN_DECODE_LEVEL(Suffix)                                                       \
    namespace jpegkernels {                                                                                 \
    KernelStatus HuffmanDecoderTableInit_##Suffix(const uint8_t* bits, const uint8_t* huffval,              \
                                                  HuffmanDecoderTable* table) {                             \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecoderTableInit>::Run(bits, huffval,     \
                                                                                           table);          \
            s != kKernelOk) {                                                                               \
            return s;                                                                                       \
        }                                                                                                   \
        return BuildDecoderTable<KernelZero_##Suffix>(bits, huffval, table);                                \
    }                                                                                                       \
    KernelStatus HuffmanDecodeBlockFast_##Suffix(const uint8_t* data, int32_t length, uint32_t* position,    \
                                                 int16_t* block, int16_t* dcPredictor, MarkerWord* marker,  \
                                                 const HuffmanDecoderTable* dcTable,                        \
                                                 const HuffmanDecoderTable* acTable,                        \
                                                 HuffmanDecoderState* state) {                              \
        return DecodeBlockFast(data, length, position, block, dcPredictor, marker, dcTable, acTable, state); \
    }                                                                                                       \
    KernelStatus HuffmanDecodeBlock8x8_##Suffix(const uint8_t* data, int32_t length, uint32_t* position,     \
                                                int16_t* block, int16_t* dcPredictor, MarkerWord* marker,   \
                                                const HuffmanDecoderTable* dcTable,                         \
                                                const HuffmanDecoderTable* acTable,                         \
                                                HuffmanDecoderState* state) {                               \
        if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecodeBlock8x8>::Run(                    \
                data, length, position, block, dcPredictor, marker, dcTable, acTable, state);               \
            s != kKernelOk) {                                                                               \
            return s;                                                                                       \
        }                                                                                                   \
        if (DecodeBlockFast(data, length, position, block, dcPredictor, marker, dcTable, acTable, state) ==  \
            kKernelOk) {                                                                                    \
            return kKernelOk;                                                                               \
        }                                                                                                   \
        return DecodeBlockGeneral<KernelZero_##Suffix>(data, length, position, block, dcPredictor, marker,  \
                                                       dcTable, acTable, state);                            \
    }                                                                                                       \
    }
