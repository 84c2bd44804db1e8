#pragma once
// The general Huffman decoding procedures: the 32-bit bit reader, symbol
// decoding, receive-and-extend, the decoder-table builder and the general
// block algorithm. Every processor level's translation unit compiles its own
// copy (internal linkage throughout), so the code runs with that level's
// instruction selection.
#include <cstdint>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"
#include "jpegkernels/memory/memory_access.h"
#include "jpegkernels/zigzag_order.h"

namespace jpegkernels {
namespace {

// Bits taken by a refill stop growing the buffer at this count.
constexpr int32_t kRefillTarget = 25;

// EXTEND offsets: entry n is 1 - 2^n (0 for n = 0).
constexpr int32_t kExtendOffset[16] = {0,     -1,     -3,     -7,     -15,    -31,    -63,    -127,
                                       -255,  -511,   -1023,  -2047,  -4095,  -8191,  -16383, -32767};

// The value of n received bits v (n = 0..15) under the EXTEND rule: the
// offset applies when the first of the n bits is 0 (v below 2^(n-1)), which
// is 2v below 2^n; n = 0 has offset 0. Computed without a branch, as the
// sign of a value is a coin toss.
inline int32_t Extend(uint32_t v, int32_t n) {
    const int32_t below = -static_cast<int32_t>((v << 1) < (1u << n));
    return static_cast<int32_t>(v) + (kExtendOffset[n] & below);
}

// FillBits byte by byte from the position: undoes stuffing, skips fill
// bytes, records a marker and stops at the end of the window.
inline __attribute__((noinline)) KernelStatus FillBytes(const uint8_t* data, int32_t length, uint32_t* position,
                                                        MarkerWord* marker, int32_t needed,
                                                        HuffmanDecoderState* state) {
    int32_t count = state->bitCount;
    uint32_t buffer = state->bitBuffer;
    // Positions in 64 bits: a position at or past the length reads nothing.
    int64_t at = *position;
    const int64_t end = length;
    KernelStatus status = kKernelOk;
    while (count < kRefillTarget) {
        if (at >= end) {
            status = needed > count ? kKernelDataEnded : kKernelOk;
            break;
        }
        uint32_t byte = data[at++];
        if (byte == 0xFF) {
            const int64_t run = at - 1;
            uint32_t next = 0xFF;
            while (next == 0xFF && at < end) next = data[at++];
            if (next == 0xFF) {
                // The window ends inside 0xFF bytes whose meaning the next
                // window decides: leave them unread when the bits suffice.
                if (needed <= count) {
                    at = run;
                } else {
                    status = kKernelDataEnded;
                }
                break;
            }
            if (next != 0x00) {
                *marker = next;
                status = needed > count ? kKernelNoCode : kKernelOk;
                break;
            }
        }
        state->clearedWord = 0;
        buffer = (buffer << 8) | byte;
        count += 8;
    }
    state->bitBuffer = buffer;
    state->bitCount = count;
    *position = static_cast<uint32_t>(at);
    return status;
}

// Tops the state's bit buffer up to kRefillTarget bits (see
// HuffmanFillBits in huffman_decode_kernels.h). Four bytes without 0xFF
// are the bytes the byte loop would take, taken at once.
inline KernelStatus FillBits(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,
                             int32_t needed, HuffmanDecoderState* state) {
    const int32_t count = state->bitCount;
    if (*marker != 0) return needed > count ? kKernelNoCode : kKernelOk;
    if (count >= kRefillTarget) return kKernelOk;
    const int64_t at = *position;
    if (static_cast<int64_t>(length) - at >= 4) {
        const uint32_t word = __builtin_bswap32(Get32(data + at));
        if (((~word - 0x01010101u) & word & 0x80808080u) == 0) {
            const int32_t bytes = (32 - count) >> 3;
            state->clearedWord = 0;
            state->bitBuffer = static_cast<uint32_t>(static_cast<uint64_t>(state->bitBuffer) << (8 * bytes) |
                                                     word >> (32 - 8 * bytes));
            state->bitCount = count + 8 * bytes;
            *position = static_cast<uint32_t>(at + bytes);
            return kKernelOk;
        }
    }
    return FillBytes(data, length, position, marker, needed, state);
}

// The symbol at the table's values for code of length l; the index is
// masked so that no table contents can reach outside the array.
inline uint32_t SymbolOf(const HuffmanDecoderTable* table, int l, uint32_t code) {
    return table->symbols[(table->valptr[l] - table->mincode[l] + code) & 0xFF];
}

// True when code matches a code of length l (maxcode 0xFFFF is "none").
inline bool WithinMaxcode(const HuffmanDecoderTable* table, int l, uint32_t code) {
    const uint32_t maxcode = static_cast<uint16_t>(table->maxcode[l]);
    return maxcode != 0xFFFF && code <= maxcode;
}

// Decodes one symbol (see HuffmanDecodeSymbol in huffman_decode_kernels.h).
inline KernelStatus DecodeSymbol(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,
                                 uint32_t* symbol, const HuffmanDecoderTable* table, HuffmanDecoderState* state) {
    if (state->bitCount < 8) {
        if (KernelStatus s = FillBits(data, length, position, marker, 0, state); s < 0) return s;
    }
    int32_t count = state->bitCount;
    int l = 1;
    if (count >= 8) {
        const uint32_t entry = table->lookahead[(state->bitBuffer >> (count - 8)) & 0xFF];
        const int32_t n = static_cast<int32_t>(entry >> 16);
        if (n != 0) {
            state->bitCount = count - n;
            *symbol = entry & 0xFFFF;
            return kKernelOk;
        }
        l = 9;
    }
    if (count < l) {
        if (KernelStatus s = FillBits(data, length, position, marker, l, state); s < 0) return s;
        count = state->bitCount;
    }
    count -= l;
    uint32_t code = (state->bitBuffer >> count) & ((1u << l) - 1);
    for (;;) {
        if (WithinMaxcode(table, l, code)) {
            state->bitCount = count;
            *symbol = SymbolOf(table, l, code);
            return kKernelOk;
        }
        if (l == 16) break;
        if (count == 0) {
            state->bitCount = 0;
            if (KernelStatus s = FillBits(data, length, position, marker, 1, state); s < 0) return s;
            count = state->bitCount;
        }
        --count;
        code = (code << 1) | ((state->bitBuffer >> count) & 1);
        ++l;
    }
    state->bitCount = count;
    *symbol = 0;
    return kKernelNoCode;
}

// Takes n (0..15) bits from the buffer, refilling first when fewer are held.
inline KernelStatus ReceiveBits(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,
                                int32_t n, HuffmanDecoderState* state, uint32_t* bits) {
    if (state->bitCount < n) {
        if (KernelStatus s = FillBits(data, length, position, marker, n, state); s < 0) return s;
    }
    const int32_t count = state->bitCount - n;
    state->bitCount = count;
    *bits = n == 0 ? 0 : (state->bitBuffer >> count) & ((1u << n) - 1);
    return kKernelOk;
}

// Row 15's builder, clearing the table with the zero-fill of the entry's
// processor index.
template <void* (*Zero)(void*, int32_t)>
KernelStatus BuildDecoderTable(const uint8_t* bits, const uint8_t* huffval, HuffmanDecoderTable* table) {
    Zero(table, kHuffmanDecoderTableSize);
    // Code lengths in code order, ended by 0.
    uint8_t sizes[257];
    int total = 0;
    for (int l = 1; l <= 16; ++l) {
        const int n = bits[l - 1];
        if (total + n > 256) return kKernelTooManyCodes;
        for (int i = 0; i < n; ++i) sizes[total++] = static_cast<uint8_t>(l);
    }
    sizes[total] = 0;
    // Canonical codes; a code must fit in its length.
    uint32_t codes[256];
    uint32_t code = 0;
    for (int k = 0, l = total > 0 ? sizes[0] : 0; sizes[k] != 0; ++l, code <<= 1) {
        while (sizes[k] == l) codes[k++] = code++;
        if (code > (1u << l)) return kKernelTooManyCodes;
    }
    for (int k = 0, l = 1; l <= 16; ++l) {
        const int n = bits[l - 1];
        if (n == 0) {
            table->maxcode[l] = -1;
            continue;
        }
        table->valptr[l] = static_cast<uint16_t>(k);
        table->mincode[l] = static_cast<uint16_t>(codes[k]);
        k += n;
        table->maxcode[l] = static_cast<int16_t>(static_cast<uint16_t>(codes[k - 1]));
    }
    table->maxcode[17] = -1;
    for (int k = 0; k < total; ++k) table->symbols[k] = huffval[k];
    for (int k = 0, l = 1; l <= 8; ++l) {
        for (int i = 0; i < bits[l - 1]; ++i, ++k) {
            const uint32_t first = codes[k] << (8 - l);
            const uint32_t entry = huffval[k] | static_cast<uint32_t>(l) << 16;
            for (uint32_t j = 0; j < (1u << (8 - l)); ++j) table->lookahead[first + j] = entry;
        }
    }
    return kKernelOk;
}

// The general block algorithm of row 18 (after the entry's checks), with
// the zero-fill of the entry's processor index.
template <void* (*Zero)(void*, int32_t)>
KernelStatus DecodeBlockGeneral(const uint8_t* data, int32_t length, uint32_t* position, int16_t* block,
                                int16_t* dcPredictor, MarkerWord* marker, const HuffmanDecoderTable* dcTable,
                                const HuffmanDecoderTable* acTable, HuffmanDecoderState* state) {
    Zero(block, 128);
    uint32_t symbol;
    if (KernelStatus s = DecodeSymbol(data, length, position, marker, &symbol, dcTable, state); s < 0) {
        state->coefficientExtent = 0;
        return s;
    }
    if (symbol != 0) {
        const int32_t n = static_cast<int32_t>(symbol & 15);
        uint32_t v;
        if (KernelStatus s = ReceiveBits(data, length, position, marker, n, state, &v); s < 0) {
            state->coefficientExtent = 0;
            return s;
        }
        *dcPredictor = static_cast<int16_t>(*dcPredictor + Extend(v, n));
    }
    block[0] = *dcPredictor;

    // k: zig-zag position of the next coefficient.
    int32_t k = 1;
    KernelStatus status = kKernelOk;
    while (k < 64) {
        if (status = DecodeSymbol(data, length, position, marker, &symbol, acTable, state); status < 0) break;
        const int32_t run = static_cast<int32_t>((symbol >> 4) & 15);
        const int32_t n = static_cast<int32_t>(symbol & 15);
        if (n == 0) {
            if (run < 15) break;  // end of block
            k += 16;
            continue;
        }
        const int32_t p = k + run;
        k = p + 1;
        uint32_t v;
        if (status = ReceiveBits(data, length, position, marker, n, state, &v); status < 0) break;
        // A run past the last position is corrupt data.
        if (p > 63) return kKernelCorruptData;
        block[kNaturalOrder[p]] = static_cast<int16_t>(Extend(v, n));
    }
    state->coefficientExtent = k;
    return status;
}

}  // namespace
}  // namespace jpegkernels

// Defines one named build of the bit reader (FillName, SymbolName) over this
// translation unit's copy.
#define JPEGKERNELS_DEFINE_BIT_READER(FillName, SymbolName)                                                   \
    namespace jpegkernels {                                                                                 \
    KernelStatus FillName(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,       \
                          int32_t needed, HuffmanDecoderState* state) {                                     \
        return FillBits(data, length, position, marker, needed, state);                                     \
    }                                                                                                       \
    KernelStatus SymbolName(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,     \
                            uint32_t* symbol, const HuffmanDecoderTable* table, HuffmanDecoderState* state) { \
        return DecodeSymbol(data, length, position, marker, symbol, table, state);                          \
    }                                                                                                       \
    }
