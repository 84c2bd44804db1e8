#pragma once
// The 64-bit bit window of the fast decoders (processor indexes 1 to 5).
//
// A fast decoder loads the bit state into the top of a 64-bit window, refills
// it eight stream bytes at a time, and commits window, count and position
// once at the end. It never records a marker and never reports an error:
// whatever it does not handle (a 0xFF that is not followed by 0x00, fewer
// than 8 bytes left, a code it cannot match) makes it decline, and the
// general procedure then starts again from the state as it was.
//
// Internal linkage: every level's translation unit compiles its own copy.
// Levels with SSSE3 turn the eight stream bytes big-endian with a byte
// shuffle; the others with two 32-bit byte swaps.
#include <emmintrin.h>
#ifdef __SSSE3__
#include <tmmintrin.h>
#endif

#include <cstdint>

#include "jpegkernels/huffdecode/bit_reader.h"
#include "jpegkernels/kernel_records.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

// Eight stream bytes as a big-endian word; *ffMask gets one bit per 0xFF.
inline uint64_t LoadStreamWord(const uint8_t* p, uint32_t* ffMask) {
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    *ffMask = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(-1)))) & 0xFF;
#ifdef __SSSE3__
    const __m128i reverse = _mm_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, -1, -1, -1, -1, -1, -1, -1, -1);
    return static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_shuffle_epi8(bytes, reverse)));
#else
    return static_cast<uint64_t>(__builtin_bswap32(Get32(p))) << 32 | __builtin_bswap32(Get32(p + 4));
#endif
}

class BitWindow {
public:
    // False when the state's count is not 0..32 (no valid state).
    bool Load(const uint8_t* data, int32_t length, uint32_t position, const HuffmanDecoderState* state) {
        data_ = data;
        end_ = length;
        at_ = position;
        count_ = state->bitCount;
        if (count_ < 0 || count_ > 32) return false;
        bits_ = count_ == 0 ? 0 : static_cast<uint64_t>(state->bitBuffer) << (64 - count_);
        return true;
    }

    // Bytes left after the position, in 64 bits.
    int64_t Remaining() const { return end_ - at_; }

    // Appends whole bytes below the bits held; false to decline. Called with
    // at most 15 bits held.
    bool Refill() {
        if (Remaining() < 8) return false;
        uint32_t ffMask;
        const uint64_t word = LoadStreamWord(data_ + at_, &ffMask);
        if (ffMask == 0) {
            const int32_t whole = (count_ + 7) & ~7;
            bits_ |= (word >> whole) << (whole - count_);
            at_ += (64 - whole) / 8;
            count_ += 64 - whole;
            return true;
        }
        // A 0xFF among them: byte by byte, taking only stuffed pairs.
        while (count_ <= 24) {
            const uint32_t byte = data_[at_];
            if (byte == 0xFF) {
                if (Remaining() < 2 || data_[at_ + 1] != 0x00) return false;
                at_ += 2;
            } else {
                at_ += 1;
            }
            bits_ |= static_cast<uint64_t>(byte) << (56 - count_);
            count_ += 8;
        }
        return true;
    }

    bool DecodeSymbol(const HuffmanDecoderTable* table, uint32_t* symbol) {
        if (count_ < 8 && !Refill()) return false;
        const uint32_t entry = table->lookahead[bits_ >> 56];
        const int32_t n = static_cast<int32_t>(entry >> 16);
        if (n != 0) {
            Drop(n);
            *symbol = entry & 0xFFFF;
            return true;
        }
        if (count_ < 16 && !Refill()) return false;
        for (int l = 9; l <= 16; ++l) {
            const uint32_t code = static_cast<uint32_t>(bits_ >> (64 - l));
            if (WithinMaxcode(table, l, code)) {
                Drop(l);
                *symbol = SymbolOf(table, l, code);
                return true;
            }
        }
        return false;
    }

    // Takes n (1..15) bits.
    bool Receive(int32_t n, uint32_t* bits) {
        if (count_ < n && !Refill()) return false;
        *bits = static_cast<uint32_t>(bits_ >> (64 - n));
        Drop(n);
        return true;
    }

    // Stores the window as the state's bit buffer, giving whole bytes back
    // to the position so that at most 32 bits stay buffered.
    void Commit(HuffmanDecoderState* state, uint32_t* position) {
        if (count_ >= 32) {
            const int32_t excess = ((count_ + 7) & ~7) - 32;
            count_ -= excess;
            at_ -= excess / 8;
        }
        state->bitBuffer = count_ == 0 ? 0 : static_cast<uint32_t>(bits_ >> (64 - count_));
        state->bitCount = count_;
        *position = static_cast<uint32_t>(at_);
    }

private:
    void Drop(int32_t n) {
        bits_ <<= n;
        count_ -= n;
    }

    const uint8_t* data_ = nullptr;
    int64_t end_ = 0;
    int64_t at_ = 0;
    uint64_t bits_ = 0;
    int32_t count_ = 0;
};

}  // namespace
}  // namespace jpegkernels
