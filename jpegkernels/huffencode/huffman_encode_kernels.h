#pragma once
// Huffman side of the encoding direction: block encoding (row 8), the
// encoder table size and build (rows 9 and 10), the writer reset (row 11),
// optimal tables from symbol counts (rows 28 and 29), and the bit writer,
// resets and checked zero-fills behind them.
//
//   index  row 8 fast kernel              bit writer             reset / checked zero-fill
//   0      none                           HuffmanPutBits         HuffmanEncoderStateReset / KernelZeroChecked
//   1      HuffmanEncodeBlockFast_Mmx     HuffmanPutBits         ..._Mmx
//   2      HuffmanEncodeBlockFast_Sse2    as HuffmanPutBits_Sse3 ..._Sse2
//   3      HuffmanEncodeBlockFast_Sse3    HuffmanPutBits_Sse3    ..._Sse3
//   4      HuffmanEncodeBlockFast_Ssse3   HuffmanPutBits_Ssse3   ..._Ssse3
//   5      HuffmanEncodeBlockFast_Sse41   HuffmanPutBits_Sse41   ..._Sse41
//
// Every index writes the same bytes and leaves the same position, predictor
// and state for the same input; each calls only routines built for it (the
// index-2 writer is its own copy of the _Sse3 schedule).
#include <cstdint>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

// Row 8: (block, buffer, size, position, DC predictor, DC table, AC table,
// state, flush). -8 null buffer, -6 size below 1, -8 null position or state;
// a set flush flag writes seven 1-bits and resets the state (the write's
// status); then -8 for a null block, predictor or table, -5 for an AC
// coefficient of -32768 (nothing written); else 0, -62 (buffer full) or -64
// (a symbol without a code).
#define JPEGKERNELS_DECLARE_ENCODE_BLOCK(name)                                                                 \
    KernelStatus name(const int16_t* block, uint8_t* buffer, int32_t size, uint32_t* position,               \
                      int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,                               \
                      const HuffmanEncoderTable* acTable, HuffmanEncoderState* state, uint32_t flush);
JPEGKERNELS_DECLARE_ENCODE_BLOCK(HuffmanEncodeBlock8x8)
JPEGKERNELS_DECLARE_ENCODE_BLOCK(HuffmanEncodeBlock8x8_Mmx)
JPEGKERNELS_DECLARE_ENCODE_BLOCK(HuffmanEncodeBlock8x8_Sse2)
JPEGKERNELS_DECLARE_ENCODE_BLOCK(HuffmanEncodeBlock8x8_Sse3)
JPEGKERNELS_DECLARE_ENCODE_BLOCK(HuffmanEncodeBlock8x8_Ssse3)
JPEGKERNELS_DECLARE_ENCODE_BLOCK(HuffmanEncodeBlock8x8_Sse41)
#undef JPEGKERNELS_DECLARE_ENCODE_BLOCK

// Fast block encoders (64-bit bit window): 0 when the whole block is
// written and committed, 1 when nothing was committed (too little room, a
// symbol without a code). Bytes at and past the position may have been
// written as scratch either way.
#define JPEGKERNELS_DECLARE_ENCODE_BLOCK_FAST(name)                                                            \
    KernelStatus name(const int16_t* block, uint8_t* buffer, int32_t size, uint32_t* position,               \
                      int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,                               \
                      const HuffmanEncoderTable* acTable, HuffmanEncoderState* state);
JPEGKERNELS_DECLARE_ENCODE_BLOCK_FAST(HuffmanEncodeBlockFast_Mmx)
JPEGKERNELS_DECLARE_ENCODE_BLOCK_FAST(HuffmanEncodeBlockFast_Sse2)
JPEGKERNELS_DECLARE_ENCODE_BLOCK_FAST(HuffmanEncodeBlockFast_Sse3)
JPEGKERNELS_DECLARE_ENCODE_BLOCK_FAST(HuffmanEncodeBlockFast_Ssse3)
JPEGKERNELS_DECLARE_ENCODE_BLOCK_FAST(HuffmanEncodeBlockFast_Sse41)
#undef JPEGKERNELS_DECLARE_ENCODE_BLOCK_FAST

// Rows 9 and 29 (one function for every index): store 1024, resp. 1048;
// -8 for a null pointer.
KernelStatus HuffmanEncoderTableSize(int32_t* size);
KernelStatus HuffmanTableFromStatisticsBufferSize(int32_t* size);

// Row 10: (BITS, HUFFVAL, table). -8 null pointer; the table is cleared,
// then -64 for more than 256 codes or a code set that does not fit its
// lengths; else entry HUFFVAL[k] = length << 16 | code, 0.
#define JPEGKERNELS_DECLARE_TABLE_INIT(name)                                                                   \
    KernelStatus name(const uint8_t* bits, const uint8_t* huffval, HuffmanEncoderTable* table);
JPEGKERNELS_DECLARE_TABLE_INIT(HuffmanEncoderTableInit)
JPEGKERNELS_DECLARE_TABLE_INIT(HuffmanEncoderTableInit_Mmx)
JPEGKERNELS_DECLARE_TABLE_INIT(HuffmanEncoderTableInit_Sse2)
JPEGKERNELS_DECLARE_TABLE_INIT(HuffmanEncoderTableInit_Sse3)
JPEGKERNELS_DECLARE_TABLE_INIT(HuffmanEncoderTableInit_Ssse3)
JPEGKERNELS_DECLARE_TABLE_INIT(HuffmanEncoderTableInit_Sse41)
#undef JPEGKERNELS_DECLARE_TABLE_INIT

// Row 11: -8 for a null state, else the level's reset and 0.
#define JPEGKERNELS_DECLARE_STATE(name) KernelStatus name(HuffmanEncoderState* state);
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateInit)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateInit_Mmx)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateInit_Sse2)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateInit_Sse3)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateInit_Ssse3)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateInit_Sse41)
// Resets: the five words and the 1024-byte area to 0 (no null test); the
// status of the checked zero-fill.
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateReset)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateReset_Mmx)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateReset_Sse2)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateReset_Sse3)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateReset_Ssse3)
JPEGKERNELS_DECLARE_STATE(HuffmanEncoderStateReset_Sse41)
#undef JPEGKERNELS_DECLARE_STATE

// Row 28: (257 counts, BITS out, HUFFVAL out), the code-length procedure of
// ITU-T T.81 K.2 with lengths limited to 16. -8 null pointer; -5 when
// counts 0..255 are all 0, one is negative, or they add up to 1,000,000,000
// or more; -64 when a length above 32 arises; nothing is written on any
// failure. Count 256 is read but not used: the reserved symbol counts 1.
#define JPEGKERNELS_DECLARE_FROM_STATISTICS(name)                                                              \
    KernelStatus name(const int32_t* counts, uint8_t* bits, uint8_t* huffval);
JPEGKERNELS_DECLARE_FROM_STATISTICS(HuffmanTableFromStatistics)
JPEGKERNELS_DECLARE_FROM_STATISTICS(HuffmanTableFromStatistics_Mmx)
JPEGKERNELS_DECLARE_FROM_STATISTICS(HuffmanTableFromStatistics_Sse2)
JPEGKERNELS_DECLARE_FROM_STATISTICS(HuffmanTableFromStatistics_Sse3)
JPEGKERNELS_DECLARE_FROM_STATISTICS(HuffmanTableFromStatistics_Ssse3)
JPEGKERNELS_DECLARE_FROM_STATISTICS(HuffmanTableFromStatistics_Sse41)
#undef JPEGKERNELS_DECLARE_FROM_STATISTICS

// Bit writers: (code, length, buffer, size, position, state); no pointer
// tests. -64 for a length of 0 or above 16 (nothing written); -62 when the
// size is reached (the bytes written stay and the position counts them,
// the state keeps its bits); else 0.
#define JPEGKERNELS_DECLARE_PUT_BITS(name)                                                                     \
    KernelStatus name(uint32_t code, uint32_t length, uint8_t* buffer, int32_t size, uint32_t* position,     \
                      HuffmanEncoderState* state);
JPEGKERNELS_DECLARE_PUT_BITS(HuffmanPutBits)
JPEGKERNELS_DECLARE_PUT_BITS(HuffmanPutBits_Sse3)
JPEGKERNELS_DECLARE_PUT_BITS(HuffmanPutBits_Ssse3)
JPEGKERNELS_DECLARE_PUT_BITS(HuffmanPutBits_Sse41)
#undef JPEGKERNELS_DECLARE_PUT_BITS

// Checked zero-fills of count bytes: -8 null, -6 count below 1, else 0. The
// index-1 build streams past the cache from 20480 bytes on.
#define JPEGKERNELS_DECLARE_ZERO_CHECKED(name) KernelStatus name(void* destination, int32_t count);
JPEGKERNELS_DECLARE_ZERO_CHECKED(KernelZeroChecked)
JPEGKERNELS_DECLARE_ZERO_CHECKED(KernelZeroChecked_Mmx)
JPEGKERNELS_DECLARE_ZERO_CHECKED(KernelZeroChecked_Sse2)
JPEGKERNELS_DECLARE_ZERO_CHECKED(KernelZeroChecked_Sse3)
JPEGKERNELS_DECLARE_ZERO_CHECKED(KernelZeroChecked_Ssse3)
JPEGKERNELS_DECLARE_ZERO_CHECKED(KernelZeroChecked_Sse41)
#undef JPEGKERNELS_DECLARE_ZERO_CHECKED

}  // namespace jpegkernels
