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

// Natural index of zig-zag position 63 - j, for j counting down from 62.
constexpr uint8_t MakeReverse(int j) { return kNaturalOrder[63 - j]; }
constexpr uint8_t kReverseNaturalOrder[64] = {
    MakeReverse(0),  MakeReverse(1),  MakeReverse(2),  MakeReverse(3),  MakeReverse(4),  MakeReverse(5),
    MakeReverse(6),  MakeReverse(7),  MakeReverse(8),  MakeReverse(9),  MakeReverse(10), MakeReverse(11),
    MakeReverse(12), MakeReverse(13), MakeReverse(14), MakeReverse(15), MakeReverse(16), MakeReverse(17),
    MakeReverse(18), MakeReverse(19), MakeReverse(20), MakeReverse(21), MakeReverse(22), MakeReverse(23),
    MakeReverse(24), MakeReverse(25), MakeReverse(26), MakeReverse(27), MakeReverse(28), MakeReverse(29),
    MakeReverse(30), MakeReverse(31), MakeReverse(32), MakeReverse(33), MakeReverse(34), MakeReverse(35),
    MakeReverse(36), MakeReverse(37), MakeReverse(38), MakeReverse(39), MakeReverse(40), MakeReverse(41),
    MakeReverse(42), MakeReverse(43), MakeReverse(44), MakeReverse(45), MakeReverse(46), MakeReverse(47),
    MakeReverse(48), MakeReverse(49), MakeReverse(50), MakeReverse(51), MakeReverse(52), MakeReverse(53),
    MakeReverse(54), MakeReverse(55), MakeReverse(56), MakeReverse(57), MakeReverse(58), MakeReverse(59),
    MakeReverse(60), MakeReverse(61), MakeReverse(62), MakeReverse(63)};

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

inline KernelStatus DecodeBlockFast(const uint8_t* data, int32_t length, uint32_t* position, int16_t* block,
                                    int16_t* dcPredictor, MarkerWord* marker, const HuffmanDecoderTable* dcTable,
                                    const HuffmanDecoderTable* acTable, HuffmanDecoderState* state) {
    if (*marker != 0) return kKernelFastDeclined;
    ZeroBlock(block);
    state->coefficientExtent = 0;
    BitWindow w;
    if (!w.Load(data, length, *position, state) || w.Remaining() < 24) return kKernelFastDeclined;

    uint32_t symbol, v;
    if (!w.DecodeSymbol(dcTable, &symbol)) return kKernelFastDeclined;
    int32_t n = static_cast<int32_t>(symbol & 15);
    int32_t difference = 0;
    if (n != 0) {
        if (!w.Receive(n, &v)) return kKernelFastDeclined;
        difference = Extend(v, n);
    }
    const int16_t dc = static_cast<int16_t>(*dcPredictor + difference);
    block[0] = dc;

    // j counts down: the next coefficient's zig-zag position is 63 - j.
    int32_t j = 62;
    for (;;) {
        if (!w.DecodeSymbol(acTable, &symbol)) return kKernelFastDeclined;
        const int32_t run = static_cast<int32_t>((symbol >> 4) & 15);
        n = static_cast<int32_t>(symbol & 15);
        if (n == 0) {
            if (run < 15) break;
            j -= 16;
            if (j < 0) return kKernelFastDeclined;
            continue;
        }
        j -= run;
        if (j < 0 || !w.Receive(n, &v)) return kKernelFastDeclined;
        block[kReverseNaturalOrder[j]] = static_cast<int16_t>(Extend(v, n));
        if (--j < 0) break;
    }
    *dcPredictor = dc;
    state->coefficientExtent = 63 - j;
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
