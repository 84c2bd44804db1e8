#pragma once
// Records that the kernel rows share with their callers. The layouts are
// binding: the decoder allocates them by the sizes the size rows report, and
// every processor level reads and writes them in this form.
#include <cstddef>
#include <cstdint>

namespace jpegkernels {

// Huffman decoder table built by row 15 from a DHT table's BITS and HUFFVAL
// (1644 bytes, little-endian). The three arrays by code length are indexed by
// the length 1..16; entries 0 and 17 are fillers.
struct HuffmanDecoderTable {
    // Entry k is HUFFVAL[k] widened, k being the code's ordinal in code order.
    uint16_t symbols[256];
    // Indexed by the next 8 bits of the stream: symbol in the low half, code
    // length in the high half; 0 where no code of 8 bits or fewer begins.
    uint32_t lookahead[256];
    // First code of each length, 0 where there is none.
    uint16_t mincode[18];
    // Low 16 bits of the last code of each length, -1 (0xFFFF) where there is
    // none; entry 0 is 0 and entry 17 is -1. Readers compare 0xFFFF as "none"
    // and every other value as unsigned.
    int16_t maxcode[18];
    // Ordinal of the first code of each length, 0 where there is none.
    uint16_t valptr[18];
};
static_assert(sizeof(HuffmanDecoderTable) == 1644);
static_assert(offsetof(HuffmanDecoderTable, lookahead) == 512);
static_assert(offsetof(HuffmanDecoderTable, mincode) == 1536);
static_assert(offsetof(HuffmanDecoderTable, maxcode) == 1572);
static_assert(offsetof(HuffmanDecoderTable, valptr) == 1608);

inline constexpr int32_t kHuffmanDecoderTableSize = 1644;

// Bit-reader state of one scan (24 bytes), owned by the decoder. Row 17
// clears the first 20 bytes at the start of every scan.
struct HuffmanDecoderState {
    // Valid bits right-aligned, the oldest (next to decode) highest; bits
    // above them are left-overs that every reader masks away.
    uint32_t bitBuffer;
    // Set to 0 by the bit reader whenever it appends a byte; read by nothing.
    uint32_t clearedWord;
    // Number of valid bits, 0..32.
    int32_t bitCount;
    // Neither read nor written by the decoding rows.
    uint32_t reserved0;
    // One past the zig-zag position of the last decoded coefficient (row 18).
    int32_t coefficientExtent;
    // Not cleared by row 17, not used by the decoding rows.
    uint32_t reserved1;
};
static_assert(sizeof(HuffmanDecoderState) == 24);
static_assert(offsetof(HuffmanDecoderState, bitCount) == 8);
static_assert(offsetof(HuffmanDecoderState, coefficientExtent) == 16);

inline constexpr int32_t kHuffmanDecoderStateSize = 24;

// 0 while no marker has been met in the entropy-coded data; otherwise the
// marker's code byte. Owned by the decoder's scan state.
using MarkerWord = uint32_t;

// Huffman encoder table (1024 bytes): indexed by symbol, the code
// right-aligned in bits 0..15 and its length in bits 16..31; 0 for a symbol
// without a code.
struct HuffmanEncoderTable {
    uint32_t entries[256];
};
static_assert(sizeof(HuffmanEncoderTable) == 1024);

inline constexpr int32_t kHuffmanEncoderTableSize = 1024;

// Bit-writer state of one entropy-coded stream (1044 bytes), owned by the
// caller; the reset writes every field.
struct HuffmanEncoderState {
    // Pending bits, the oldest at bit 23; bits 24..31 carry no meaning.
    uint32_t accumulator;
    // Set to 0 by every write and by the reset; read by nothing.
    uint32_t clearedWord;
    // Pending bits, 0..7 between calls.
    int32_t bitCount;
    uint32_t further0;
    uint32_t further1;
    uint8_t workArea[1024];
};
static_assert(sizeof(HuffmanEncoderState) == 1044);

// Size reported by row 29.
inline constexpr int32_t kHuffmanTableFromStatisticsBufferSize = 1048;

}  // namespace jpegkernels
