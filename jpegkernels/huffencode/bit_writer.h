#pragma once
// The Huffman bit writer of the encoding rows (8, 23 and 26), its flush and
// the reset of its state, with the category rule those rows share.
// Internal linkage: every level's translation unit compiles its own copy.
//
// Bits are packed most significant first. Between calls the state holds
// fewer than 8 pending bits, the oldest at bit 23 of the accumulator; every
// 0xFF byte written is followed by a stuffed 0x00. Output room is always
// worked out in 64 bits, so a position at or beyond the capacity, 2^31 and
// above included, is a full buffer.
#include <cstdint>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"

namespace jpegkernels {
namespace {

// Number of bits of each value 0..255.
constexpr uint8_t BitLengthOf(int v) { return v == 0 ? 0 : static_cast<uint8_t>(1 + BitLengthOf(v >> 1)); }
struct BitLengthTable {
    uint8_t length[256];
    constexpr BitLengthTable() : length() {
        for (int v = 0; v < 256; ++v) length[v] = BitLengthOf(v);
    }
};
constexpr BitLengthTable kBitLengths;

// Category of a value of magnitude up to 65535: the number of bits of |v|.
// -32768 and 32768 have category 16.
inline uint32_t CategoryOf(int32_t v) {
    const uint32_t a = static_cast<uint32_t>(v < 0 ? -v : v);
    return a < 256 ? kBitLengths.length[a] : 8u + kBitLengths.length[(a >> 8) & 255];
}

// The extra bits of a non-zero value of category c (c <= 16): the low c
// bits of v, of v - 1 when v is negative.
inline uint32_t ExtraBits(int32_t v, uint32_t c) {
    const uint32_t u = static_cast<uint32_t>(v < 0 ? v - 1 : v);
    return u & ((1u << c) - 1);
}

// Code and length halves of an encoder table entry.
inline uint32_t CodeOf(uint32_t entry) { return entry & 0xFFFF; }
inline uint32_t LengthOf(uint32_t entry) { return entry >> 16; }

// The code of an entry cut to its length (1..16): bits above the length are
// not part of the code.
inline uint32_t LengthCode(uint32_t entry) { return CodeOf(entry) & ((1u << (LengthOf(entry) & 31)) - 1); }

// Lengths the writer takes: 1 to 16. A length of 0 is a symbol without a
// code; one above 16 can only come from a caller-made table.
inline bool WritableLength(uint32_t length) { return length - 1 < 16; }

// Pending bits of a state; a count outside 0..7, which no writer leaves, is
// taken modulo 8 so that no shift runs out of range.
inline int32_t PendingCount(const HuffmanEncoderState* state) { return state->bitCount & 7; }

// The pending bits of a state where they stand in the accumulator (from bit
// 23 down); whatever else the accumulator holds is not part of the stream.
inline uint32_t PendingBits(const HuffmanEncoderState* state) {
    return state->accumulator & (0xFFFFFFu & ~(0xFFFFFFu >> PendingCount(state)));
}

// The pending bits of a state right-aligned, as a 64-bit window of the fast
// coders starts from them.
inline uint64_t PendingRightAligned(const HuffmanEncoderState* state) {
    return PendingBits(state) >> (24 - PendingCount(state));
}

// A 64-bit window's end: its last `count` bits (0..7) become the state's
// pending bits.
inline void StorePending(uint64_t bits, int32_t count, HuffmanEncoderState* state) {
    state->accumulator = static_cast<uint32_t>(bits & ((1u << count) - 1)) << (24 - count);
    state->clearedWord = 0;
    state->bitCount = count;
}

// Free bytes from the position to the capacity (negative when the position
// lies beyond it).
inline int64_t Room(int32_t capacity, uint32_t position) {
    return static_cast<int64_t>(capacity) - static_cast<int64_t>(position);
}

// Appends the low `length` bits of the code. -64 for a length of 0 or above
// 16 (nothing written); -62 when the capacity is reached before a byte or
// its stuffed 0x00 (the bytes written stay, the position counts them, the
// state is not updated); else 0. FixedCount sets the number of byte steps
// before the loop instead of testing the count on every step; both write
// the same bytes.
template <bool FixedCount>
inline KernelStatus PutBits(uint32_t code, uint32_t length, uint8_t* buffer, int32_t capacity, uint32_t* position,
                            HuffmanEncoderState* state) {
    if (!WritableLength(length)) return kKernelTooManyCodes;
    int32_t total = PendingCount(state) + static_cast<int32_t>(length);
    uint32_t accumulator = PendingBits(state) | ((code & ((1u << length) - 1)) << (24 - total));
    uint32_t at = *position;
    auto emit = [&]() {
        if (Room(capacity, at) <= 0) return false;
        const uint8_t byte = static_cast<uint8_t>(accumulator >> 16);
        buffer[at++] = byte;
        if (byte == 0xFF) {
            if (Room(capacity, at) <= 0) return false;
            buffer[at++] = 0;
        }
        accumulator <<= 8;
        return true;
    };
    if constexpr (FixedCount) {
        for (int32_t steps = total >> 3; steps > 0; --steps) {
            if (!emit()) {
                *position = at;
                return kKernelDataEnded;
            }
        }
        total &= 7;
    } else {
        for (; total >= 8; total -= 8) {
            if (!emit()) {
                *position = at;
                return kKernelDataEnded;
            }
        }
    }
    *position = at;
    state->accumulator = accumulator & 0xFFFFFF;
    state->clearedWord = 0;
    state->bitCount = total;
    return kKernelOk;
}

using PutBitsFunction = KernelStatus (*)(uint32_t, uint32_t, uint8_t*, int32_t, uint32_t*, HuffmanEncoderState*);
using ZeroCheckedFunction = KernelStatus (*)(void*, int32_t);

// A checked zero-fill over the zero-fill of a level: -8 for null, -6 for a
// count below 1, else 0. With Streaming, counts of 20480 bytes and more go
// past the cache.
template <void* (*Zero)(void*, int32_t), void* (*Streaming)(void*, int32_t)>
inline KernelStatus ZeroChecked(void* destination, int32_t count) {
    if (destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    if constexpr (Streaming != nullptr) {
        if (count >= 20480) {
            Streaming(destination, count);
            return kKernelOk;
        }
    }
    Zero(destination, count);
    return kKernelOk;
}

// Clears the five words, then the work area through the checked zero-fill
// of the level; returns the zero-fill's status.
template <ZeroCheckedFunction ZeroChecked>
inline KernelStatus ResetEncoderState(HuffmanEncoderState* state) {
    state->accumulator = 0;
    state->clearedWord = 0;
    state->bitCount = 0;
    state->further0 = 0;
    state->further1 = 0;
    return ZeroChecked(state->workArea, static_cast<int32_t>(sizeof state->workArea));
}

// Ends a stream: seven 1-bits complete a pending partial byte, then the
// state is reset whatever the write gave; the write's status is returned.
template <PutBitsFunction Put, KernelStatus (*Reset)(HuffmanEncoderState*)>
inline KernelStatus FlushEncoder(uint8_t* buffer, int32_t capacity, uint32_t* position, HuffmanEncoderState* state) {
    const KernelStatus s = Put(0x7F, 7, buffer, capacity, position, state);
    Reset(state);
    return s;
}

// Writes one table entry, then for a category 1..15 (1..16 with
// WithSixteen) the extra bits of the value.
template <PutBitsFunction Put, bool WithSixteen>
inline KernelStatus PutCoded(uint32_t entry, int32_t value, uint32_t category, uint8_t* buffer, int32_t capacity,
                             uint32_t* position, HuffmanEncoderState* state) {
    if (KernelStatus s = Put(CodeOf(entry), LengthOf(entry), buffer, capacity, position, state); s != kKernelOk) {
        return s;
    }
    if (category == 0 || (!WithSixteen && category >= 16)) return kKernelOk;
    return Put(ExtraBits(value, category), category, buffer, capacity, position, state);
}

}  // namespace
}  // namespace jpegkernels
