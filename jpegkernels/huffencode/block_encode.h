#pragma once
// Huffman encoding of one quantised 8x8 block (row 8): the general loop over
// the bit writer, and the fast kernel of indexes 1 to 5, which keeps up to
// 64 bits in a register and commits nothing until the block is done.
// Internal linkage: every level's translation unit compiles its own copy.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/huffencode/bit_writer.h"
#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/memory/memory_access.h"
#include "jpegkernels/zigzag_order.h"

namespace jpegkernels {
namespace {

constexpr uint32_t kEndOfBlock = 0x00;
constexpr uint32_t kZeroRun = 0xF0;

// An AC coefficient of -32768 has category 16, which a run/size symbol
// cannot carry: the entries refuse such a block before writing anything.
inline bool AcHoldsMinus32768(const int16_t* block) {
    for (int i = 1; i < 64; ++i) {
        if (block[i] == -32768) return true;
    }
    return false;
}

inline bool AcHoldsMinus32768Lanes(const int16_t* block) {
    const __m128i minimum = _mm_set1_epi16(-32768);
    // Lanes 1..7 of the first eight values: lane 0 is the DC coefficient.
    const int32_t first =
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block)), minimum)) & ~3;
    __m128i hits = _mm_setzero_si128();
    for (int i = 8; i < 64; i += 8) {
        hits = _mm_or_si128(hits, _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i)), minimum));
    }
    return first != 0 || _mm_movemask_epi8(hits) != 0;
}

// The general loop: DC difference, then run/size symbols in zig-zag order
// with ZRL for runs of 16 and EOB after a trailing run. The first failing
// write ends the block with its status; the predictor is updated first.
template <PutBitsFunction Put>
KernelStatus EncodeBlockGeneral(const int16_t* block, uint8_t* buffer, int32_t size, uint32_t* position,
                                int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,
                                const HuffmanEncoderTable* acTable, HuffmanEncoderState* state) {
    const int32_t difference = int32_t{block[0]} - *dcPredictor;
    *dcPredictor = block[0];
    uint32_t category = CategoryOf(difference);
    if (KernelStatus s = PutCoded<Put, true>(dcTable->entries[category], difference, category, buffer, size,
                                             position, state);
        s != kKernelOk) {
        return s;
    }
    uint32_t run = 0;
    for (int k = 1; k < 64; ++k) {
        const int32_t v = block[kNaturalOrder[k]];
        if (v == 0) {
            ++run;
            continue;
        }
        for (; run >= 16; run -= 16) {
            const uint32_t zrl = acTable->entries[kZeroRun];
            if (KernelStatus s = Put(CodeOf(zrl), LengthOf(zrl), buffer, size, position, state); s != kKernelOk) {
                return s;
            }
        }
        category = CategoryOf(v);
        if (KernelStatus s = PutCoded<Put, false>(acTable->entries[run << 4 | category], v, category, buffer, size,
                                                  position, state);
            s != kKernelOk) {
            return s;
        }
        run = 0;
    }
    if (run == 0) return kKernelOk;
    const uint32_t eob = acTable->entries[kEndOfBlock];
    return Put(CodeOf(eob), LengthOf(eob), buffer, size, position, state);
}

// Up to 64 pending bits, right-aligned, over the kernel's own copy of the
// position.
struct BlockWindow {
    uint64_t bits;
    int32_t count;
    uint8_t* buffer;
    int32_t size;
    uint32_t at;

    // Writes the whole pending bytes, oldest first. Without 0xFF among them
    // 32 or more bits go out as one 8-byte store (the bytes past the whole
    // ones are scratch). False, having committed nothing, when room is
    // short: below 8 bytes, or below 16 for bytes that need stuffing.
    bool Flush() {
        const int64_t room = Room(size, at);
        if (room < 8) return false;
        if (count >= 32) {
            const uint64_t top = bits << (64 - count);
            if (!HasByteFF(top)) {
                Put64(buffer + at, __builtin_bswap64(top));
                at += static_cast<uint32_t>(count >> 3);
                count &= 7;
                return true;
            }
            if (room < 16) return false;
        }
        for (; count >= 8; count -= 8) {
            const uint8_t byte = static_cast<uint8_t>(bits >> (count - 8));
            buffer[at++] = byte;
            if (byte == 0xFF) buffer[at++] = 0;
        }
        return true;
    }
    // Appends length (1..32) bits, flushing first when they do not fit.
    bool Put(uint64_t value, int32_t length) {
        if (count + length > 64 && !Flush()) return false;
        bits = bits << length | value;
        count += length;
        return true;
    }
};

// Bit k set when zig-zag coefficient k is non-zero; 8 lanes a compare, or
// 4 in the 64-bit build.
template <bool Wide>
inline uint64_t NonZeroMask(const int16_t* zigzag) {
    const __m128i zero = _mm_setzero_si128();
    uint64_t zeros = 0;
    if constexpr (Wide) {
        for (int i = 0; i < 64; i += 16) {
            const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i)), zero);
            const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i + 8)), zero);
            zeros |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)))) << i;
        }
    } else {
        for (int i = 0; i < 64; i += 4) {
            const __m128i a = _mm_cmpeq_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(zigzag + i)), zero);
            zeros |= static_cast<uint64_t>(_mm_movemask_epi8(_mm_packs_epi16(a, a)) & 0xF) << i;
        }
    }
    return ~zeros;
}

// Index of the lowest set bit of a non-zero x.
inline int32_t LowestBit(uint64_t x) { return 63 - __builtin_clzll(x & (0 - x)); }

// The fast kernel: 0 with the block written and position, state and
// predictor committed; 1 with nothing committed (fewer than 24 bytes of
// room, a flush without room, a symbol without a code or with a length
// above 16). The general loop then encodes the block from the start.
template <bool Wide>
KernelStatus EncodeBlockFast(const int16_t* block, uint8_t* buffer, int32_t size, uint32_t* position,
                             int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,
                             const HuffmanEncoderTable* acTable, HuffmanEncoderState* state) {
    if (Room(size, *position) < 24) return kKernelFastDeclined;
    alignas(16) int16_t zigzag[64];
    for (int k = 0; k < 64; ++k) zigzag[k] = block[kNaturalOrder[k]];
    BlockWindow w{PendingRightAligned(state), PendingCount(state), buffer, size, *position};

    const int32_t difference = int32_t{block[0]} - *dcPredictor;
    uint32_t category = CategoryOf(difference);
    uint32_t entry = dcTable->entries[category];
    if (!WritableLength(LengthOf(entry))) return kKernelFastDeclined;
    // At most 7 + 16 + 16 bits: no flush needed.
    w.Put(uint64_t{LengthCode(entry)} << category | ExtraBits(difference, category),
          static_cast<int32_t>(LengthOf(entry) + category));

    const uint32_t zrl = acTable->entries[kZeroRun];
    uint64_t remaining = NonZeroMask<Wide>(zigzag) & ~uint64_t{1};
    int32_t last = 0;
    while (remaining != 0) {
        const int32_t k = LowestBit(remaining);
        remaining &= remaining - 1;
        uint32_t run = static_cast<uint32_t>(k - last - 1);
        for (; run >= 16; run -= 16) {
            if (!WritableLength(LengthOf(zrl)) || !w.Put(LengthCode(zrl), static_cast<int32_t>(LengthOf(zrl)))) {
                return kKernelFastDeclined;
            }
        }
        const int32_t v = zigzag[k];
        category = CategoryOf(v);
        entry = acTable->entries[run << 4 | category];
        if (!WritableLength(LengthOf(entry)) ||
            !w.Put(uint64_t{LengthCode(entry)} << category | ExtraBits(v, category),
                   static_cast<int32_t>(LengthOf(entry) + category))) {
            return kKernelFastDeclined;
        }
        last = k;
    }
    if (last != 63) {
        const uint32_t eob = acTable->entries[kEndOfBlock];
        if (!WritableLength(LengthOf(eob)) || !w.Put(LengthCode(eob), static_cast<int32_t>(LengthOf(eob)))) {
            return kKernelFastDeclined;
        }
    }
    if (w.count >= 8 && !w.Flush()) return kKernelFastDeclined;

    *position = w.at;
    *dcPredictor = block[0];
    StorePending(w.bits, w.count, state);
    return kKernelOk;
}

using ResetFunction = KernelStatus (*)(HuffmanEncoderState*);
using EncodeBlockFastFunction = KernelStatus (*)(const int16_t*, uint8_t*, int32_t, uint32_t*, int16_t*,
                                                 const HuffmanEncoderTable*, const HuffmanEncoderTable*,
                                                 HuffmanEncoderState*);

// A row-8 entry: checks, flush, the -32768 refusal, the fast kernel when
// the level has one, then the general loop.
template <PutBitsFunction Put, ResetFunction Reset, EncodeBlockFastFunction Fast>
KernelStatus EncodeBlockEntry(const int16_t* block, uint8_t* buffer, int32_t size, uint32_t* position,
                              int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,
                              const HuffmanEncoderTable* acTable, HuffmanEncoderState* state, uint32_t flush) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanEncodeBlock8x8>::Run(
            block, buffer, size, position, dcPredictor, dcTable, acTable, state, flush);
        s != kKernelOk) {
        return s;
    }
    if (flush != 0) return FlushEncoder<Put, Reset>(buffer, size, position, state);
    if constexpr (Fast == nullptr) {
        if (AcHoldsMinus32768(block)) return kKernelOutOfRange;
    } else {
        if (AcHoldsMinus32768Lanes(block)) return kKernelOutOfRange;
        if (Fast(block, buffer, size, position, dcPredictor, dcTable, acTable, state) == kKernelOk) return kKernelOk;
    }
    return EncodeBlockGeneral<Put>(block, buffer, size, position, dcPredictor, dcTable, acTable, state);
}

}  // namespace
}  // namespace jpegkernels
