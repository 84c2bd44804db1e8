#pragma once
// The 64-bit bit window of the fast decoders.
//
// A fast decoder loads the bit state into the top of a 64-bit window and,
// whenever it holds fewer than 32 bits, tops it up to 49 bits or more:
// eight stream bytes at a time while none of them is 0xFF, byte by byte
// (taking stuffed 0xFF 0x00 pairs) near 0xFF bytes, markers and the end of
// the data. Each decoding step may then take one code and its extra bits
// (at most 31 bits) without looking at the stream. When a refill cannot bring the window to 32 bits (a marker, fill
// bytes or the end of the data ahead), the decoder declines and the general
// procedure starts again from the state as it was; the window never records
// a marker and never reports an error. At the end the window gives back the
// whole bytes it holds beyond 32 bits and commits bits, count and position
// once.
//
// Internal linkage: every level's translation unit compiles its own copy.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/huffdecode/bit_reader.h"
#include "jpegkernels/kernel_records.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

// The lowest set bit of a byte (entry 0 unused).
struct LowestBitTable {
    uint8_t of[256];
    constexpr uint8_t operator[](uint32_t i) const { return of[i]; }
};
constexpr LowestBitTable MakeLowestBitTable() {
    LowestBitTable t{};
    for (uint32_t i = 1; i < 256; ++i) {
        uint8_t b = 0;
        while (((i >> b) & 1) == 0) ++b;
        t.of[i] = b;
    }
    return t;
}
constexpr LowestBitTable kLowestBit = MakeLowestBitTable();

class BitWindow {
public:
    // Bits a decoding step may take after a successful Fill: a code of up to
    // 16 bits and up to 15 extra bits.
    static constexpr int32_t kStepBits = 32;

    // False when the state's count is not 0..32 (no valid state).
    bool Load(const uint8_t* data, int32_t length, uint32_t position, const HuffmanDecoderState* state) {
        data_ = data;
        end_ = length;
        start_ = position;
        at_ = position;
        count_ = state->bitCount;
        if (count_ < 0 || count_ > 32) return false;
        bits_ = count_ == 0 ? 0 : static_cast<uint64_t>(state->bitBuffer) << (64 - count_);
        return true;
    }

    // Bytes left after the position, in 64 bits.
    int64_t Remaining() const { return end_ - at_; }

    // Tops the window up; false (decline) when it holds fewer than kStepBits
    // bits afterwards. Called with at most 63 bits held.
    //
    // Eight bytes without 0xFF are or-ed in below the bits held and as many
    // whole bytes counted as fit; the bits below the count are then the
    // leading bits of the next byte, which the next refill ors in again at
    // the same place.
    bool Fill() {
        if (count_ >= kStepBits) return true;
        if (end_ - at_ >= 8) {
            const uint64_t word = __builtin_bswap64(Get64(data_ + at_));
            if (!HasByteFF(word)) {
                bits_ |= word >> count_;
                at_ += (63 - count_) >> 3;
                count_ |= 56;
                return true;
            }
        }
        return FillBytes();
    }

    // The top n bits (n = 1..63).
    uint32_t Peek(int32_t n) const { return static_cast<uint32_t>(bits_ >> (64 - n)); }
    // The top 8 bits.
    uint32_t Peek8() const { return static_cast<uint32_t>(bits_ >> 56); }
    // The top 16 bits.
    uint32_t Peek16() const { return static_cast<uint32_t>(bits_ >> 48); }

    void Drop(int32_t n) {
        bits_ <<= n;
        count_ -= n;
    }

    // Decodes one symbol; false (decline) when no code of up to 16 bits
    // matches.
    bool Symbol(const HuffmanDecoderTable* table, uint32_t* symbol) {
        const uint32_t entry = table->lookahead[Peek8()];
        const uint32_t n = entry >> 16;
        if (n - 1 < 8) {
            Drop(static_cast<int32_t>(n));
            *symbol = entry & 0xFFFF;
            return true;
        }
        return LongSymbol(table, symbol);
    }

    // The EXTEND value of the next s bits (s = 0..15; 0 takes no bits and
    // gives 0).
    int32_t Value(int32_t s) {
        const uint32_t v = static_cast<uint32_t>((bits_ >> 1) >> (63 - s));
        // All ones when the first bit is 1 (a positive value): no offset.
        // Arithmetic, not a branch: the sign of a coefficient is a coin toss.
        const int32_t positive = static_cast<int32_t>(static_cast<int64_t>(bits_) >> 63);
        const int32_t offset = kExtendOffset[s] & ~positive;
        Drop(s);
        return static_cast<int32_t>(v) + offset;
    }

    // A code of n bits (1..8, already looked up) and the s value bits after
    // it (s = 0..15) in one step: the EXTEND value; n + s bits are taken.
    int32_t ValueAfterCode(int32_t n, int32_t s) {
        const uint64_t after = bits_ << n;
        const uint32_t v = static_cast<uint32_t>((after >> 1) >> (63 - s));
        const int32_t positive = static_cast<int32_t>(static_cast<int64_t>(after) >> 63);
        const int32_t offset = kExtendOffset[s] & ~positive;
        Drop(n + s);
        return static_cast<int32_t>(v) + offset;
    }

    // Stores the window as the state's bit buffer, giving whole bytes back
    // to the position so that at most 32 bits stay buffered; a byte given
    // back that came from a stuffed pair moves the position back by two.
    void Commit(HuffmanDecoderState* state, uint32_t* position) {
        while (count_ > 32) {
            count_ -= 8;
            const bool stuffed = at_ - 2 >= start_ && data_[at_ - 1] == 0x00 && data_[at_ - 2] == 0xFF;
            at_ -= stuffed ? 2 : 1;
        }
        state->bitBuffer = count_ == 0 ? 0 : static_cast<uint32_t>(bits_ >> (64 - count_));
        state->bitCount = count_;
        *position = static_cast<uint32_t>(at_);
    }

private:
    // Byte by byte up to 56 bits, taking stuffed pairs; stops before a
    // marker, fill bytes, a last byte 0xFF and the end of the data.
    bool FillBytes() {
        bits_ = count_ == 0 ? 0 : bits_ & (~uint64_t{0} << (64 - count_));
        while (count_ <= 48 && at_ < end_) {
            const uint32_t byte = data_[at_];
            if (byte == 0xFF) {
                if (end_ - at_ < 2 || data_[at_ + 1] != 0x00) break;
                at_ += 2;
            } else {
                at_ += 1;
            }
            bits_ |= static_cast<uint64_t>(byte) << (56 - count_);
            count_ += 8;
        }
        return count_ >= kStepBits;
    }

    // Codes of 9 to 16 bits: the first length whose last code is not below
    // the top bits, found for all eight lengths at once. A code c of length
    // l is within maxcode[l] exactly when the top 16 bits are at most
    // maxcode[l] followed by 16 - l one bits; lengths without codes
    // (maxcode 0xFFFF) never match.
    bool LongSymbol(const HuffmanDecoderTable* table, uint32_t* symbol) {
        const __m128i maxcode = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table->maxcode + 9));
        const __m128i scale = _mm_setr_epi16(128, 64, 32, 16, 8, 4, 2, 1);
        const __m128i ones = _mm_setr_epi16(127, 63, 31, 15, 7, 3, 1, 0);
        const __m128i none = _mm_set1_epi16(-1);
        const __m128i limit = _mm_or_si128(_mm_mullo_epi16(maxcode, scale), ones);
        const uint32_t top = Peek16();
        const __m128i above = _mm_subs_epu16(_mm_set1_epi16(static_cast<int16_t>(top)), limit);
        const __m128i match = _mm_andnot_si128(_mm_cmpeq_epi16(maxcode, none),
                                               _mm_cmpeq_epi16(above, _mm_setzero_si128()));
        const uint32_t lanes = static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(match, match))) & 0xFF;
        if (lanes == 0) return false;
        const int l = 9 + kLowestBit[lanes];
        const uint32_t code = top >> (16 - l);
        Drop(l);
        *symbol = SymbolOf(table, l, code);
        return true;
    }

    const uint8_t* data_ = nullptr;
    int64_t end_ = 0;
    int64_t start_ = 0;
    int64_t at_ = 0;
    uint64_t bits_ = 0;
    int32_t count_ = 0;
};

}  // namespace
}  // namespace jpegkernels
