#pragma once
// Huffman decoding side of the kernel set: decoder tables (rows 14, 15), the
// bit-reader state (rows 16, 17), one 8x8 block of a sequential scan (row 18),
// and the bit reader that the decoding rows read through.
//
//   row  index 0                  1                    2 .. 5
//   14   HuffmanDecoderTableSize  (the same function in every column)
//   15   HuffmanDecoderTableInit  ..._Mmx              ..._Sse2, _Sse3, _Ssse3, _Sse41
//   16   HuffmanDecoderStateSize  (the same function in every column)
//   17   HuffmanDecoderStateInit  (the same function in every column)
//   18   HuffmanDecodeBlock8x8    ..._Mmx              ..._Sse2, _Sse3, _Ssse3, _Sse41
//
// The entries of row 15 differ only in the zero-fill they clear the table
// with; those of row 18 at indexes 1 to 5 first try a fast block decoder of
// their own (64-bit bit window), which either decodes and commits the whole
// block or commits nothing and leaves the block to the general procedure.
#include <cstdint>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

// Rows 14 and 16: store the record size through the pointer; -8 for null.
KernelStatus HuffmanDecoderTableSize(int32_t* size);
KernelStatus HuffmanDecoderStateSize(int32_t* size);

// Row 17: clears the first 20 bytes of the state; -8 for null.
KernelStatus HuffmanDecoderStateInit(HuffmanDecoderState* state);

// Row 15: builds a decoder table from a DHT table's BITS (16 counts of codes
// of length 1..16) and HUFFVAL (the symbols in code order). -8 for a null
// pointer; -64 for more than 256 codes or a code that does not fit its
// length (the table is then left cleared).
KernelStatus HuffmanDecoderTableInit(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table);
KernelStatus HuffmanDecoderTableInit_Mmx(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table);
KernelStatus HuffmanDecoderTableInit_Sse2(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table);
KernelStatus HuffmanDecoderTableInit_Sse3(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table);
KernelStatus HuffmanDecoderTableInit_Ssse3(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table);
KernelStatus HuffmanDecoderTableInit_Sse41(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table);

// Row 18: decodes one block of quantised coefficients into natural order,
// updating the DC predictor, the position, the marker word and the state.
// -8 for null data, -5 for a negative length, -8 for any other null pointer
// (tested in this order, before anything is written); otherwise 0, -2 for a
// coefficient past zig-zag position 63, or the bit reader's -62 / -63.
#define JPEGKERNELS_DECLARE_DECODE_BLOCK(name)                                                                \
    KernelStatus name(const uint8_t* data, int32_t length, uint32_t* position, int16_t* block,              \
                      int16_t* dcPredictor, MarkerWord* marker, const HuffmanDecoderTable* dcTable,         \
                      const HuffmanDecoderTable* acTable, HuffmanDecoderState* state);
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlock8x8)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlock8x8_Mmx)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlock8x8_Sse2)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlock8x8_Sse3)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlock8x8_Ssse3)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlock8x8_Sse41)

// Fast block decoders of indexes 1 to 5, same arguments as row 18, no
// checks. 0: the block is decoded and predictor, extent, bit state and
// position are committed. 1: nothing is committed (the predictor keeps its
// value, the extent is 0, the block may be partly written).
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlockFast_Mmx)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlockFast_Sse2)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlockFast_Sse3)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlockFast_Ssse3)
JPEGKERNELS_DECLARE_DECODE_BLOCK(HuffmanDecodeBlockFast_Sse41)
#undef JPEGKERNELS_DECLARE_DECODE_BLOCK

// The bit reader, one build for indexes 0 and 1, one for 2 and 3 (_Sse2) and
// one for 4 and 5 (_Ssse3); all three behave the same. No argument checks.
//
// HuffmanFillBits tops the bit buffer up to at least 25 bits from the data
// window, undoing byte stuffing and skipping fill bytes; a marker is recorded
// in the marker word and stops all further reading. 0 when at least `needed`
// bits are held afterwards; -62 when the window ended first (also when it
// ends right after 0xFF and the bits held are too few; with enough bits the
// 0xFF stays unread); -63 when a marker stands before the bits needed.
#define JPEGKERNELS_DECLARE_FILL_BITS(name)                                                                   \
    KernelStatus name(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,          \
                      int32_t needed, HuffmanDecoderState* state);
JPEGKERNELS_DECLARE_FILL_BITS(HuffmanFillBits)
JPEGKERNELS_DECLARE_FILL_BITS(HuffmanFillBits_Sse2)
JPEGKERNELS_DECLARE_FILL_BITS(HuffmanFillBits_Ssse3)
#undef JPEGKERNELS_DECLARE_FILL_BITS

// HuffmanDecodeSymbol decodes the next symbol with the table: 0 with the
// symbol stored, a refill's -62 / -63 with nothing stored, or -63 with 0
// stored when no code of 16 bits or fewer matches.
#define JPEGKERNELS_DECLARE_DECODE_SYMBOL(name)                                                               \
    KernelStatus name(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,          \
                      uint32_t* symbol, const HuffmanDecoderTable* table, HuffmanDecoderState* state);
JPEGKERNELS_DECLARE_DECODE_SYMBOL(HuffmanDecodeSymbol)
JPEGKERNELS_DECLARE_DECODE_SYMBOL(HuffmanDecodeSymbol_Sse2)
JPEGKERNELS_DECLARE_DECODE_SYMBOL(HuffmanDecodeSymbol_Ssse3)
#undef JPEGKERNELS_DECLARE_DECODE_SYMBOL

}  // namespace jpegkernels
