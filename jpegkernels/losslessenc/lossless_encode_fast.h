#pragma once
// The fast row coder of row 23 (indexes 4 and 5): up to 64 bits in a window,
// written out six to eight bytes at a time, byte-reversed with a byte
// shuffle and tested for 0xFF with one packed compare. It works on copies of
// the position and the pending bits and commits them only when the row is
// done. Internal linkage.
#include <tmmintrin.h>

#include "jpegkernels/losslessenc/lossless_encode.h"

namespace jpegkernels {
namespace {

struct RowWindow {
    uint64_t bits;     // the valid bits at the bottom
    int32_t freeBits;  // 64 less the valid bits
    uint8_t* buffer;
    int32_t capacity;
    uint32_t at;

    // One byte, and a 0x00 after an 0xFF, each tested against the capacity.
    bool PutByte(uint8_t byte) {
        if (Room(capacity, at) <= 0) return false;
        buffer[at++] = byte;
        if (byte != 0xFF) return true;
        if (Room(capacity, at) <= 0) return false;
        buffer[at++] = 0;
        return true;
    }

    // Writes the whole bytes of the window (6 to 8 when called for room).
    // Without 0xFF among them they go out together: one 8-byte store when
    // 8 bytes of room remain, else byte by byte; never at or past the
    // capacity.
    KernelStatus WriteOut() {
        const int32_t k = (64 - freeBits) >> 3;
        if (k == 0) return kKernelOk;
        const int64_t room = Room(capacity, at);
        if (room <= 0) return kKernelDataEnded;
        const uint64_t top = bits << freeBits;
        const __m128i stream = _mm_shuffle_epi8(_mm_cvtsi64_si128(static_cast<long long>(top)),
                                                _mm_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, -1, -1, -1, -1, -1, -1, -1, -1));
        const int32_t ff = _mm_movemask_epi8(_mm_cmpeq_epi8(stream, _mm_set1_epi8(-1))) & ((1 << k) - 1);
        if (ff == 0) {
            if (room < k) return kKernelDataEnded;
            if (room >= 8) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(buffer + at), stream);
            } else {
                for (int32_t i = 0; i < k; ++i) buffer[at + static_cast<uint32_t>(i)] = static_cast<uint8_t>(top >> (56 - 8 * i));
            }
            at += static_cast<uint32_t>(k);
        } else {
            for (int32_t i = 0; i < k; ++i) {
                if (!PutByte(static_cast<uint8_t>(top >> (56 - 8 * i)))) return kKernelDataEnded;
            }
        }
        freeBits += 8 * k;
        return kKernelOk;
    }

    // The whole bytes one at a time, with stuffing and capacity tests.
    bool PutWholeBytes() {
        const uint64_t top = freeBits == 64 ? 0 : bits << freeBits;
        const int32_t k = (64 - freeBits) >> 3;
        for (int32_t i = 0; i < k; ++i) {
            if (!PutByte(static_cast<uint8_t>(top >> (56 - 8 * i)))) return false;
        }
        freeBits += 8 * k;
        return true;
    }

    // Appends length (0..16) bits, writing out first when they do not fit.
    KernelStatus Put(uint32_t value, uint32_t length) {
        if (freeBits < static_cast<int32_t>(length)) {
            if (KernelStatus s = WriteOut(); s != kKernelOk) return s;
        }
        bits = length == 0 ? bits : (bits << length | value);
        freeBits -= static_cast<int32_t>(length);
        return kKernelOk;
    }
};

inline KernelStatus EncodeRowFast(const int16_t* const* rows, int32_t columns, int32_t components, uint8_t* buffer,
                                  int32_t capacity, uint32_t* position, const HuffmanEncoderTable* const* tables,
                                  HuffmanEncoderState* state) {
    if (components < 1 || components > 4) return kKernelFastDeclined;
    RowWindow w{PendingRightAligned(state), 64 - PendingCount(state), buffer, capacity, *position};
    for (int32_t x = 0; x < columns; ++x) {
        for (int32_t c = 0; c < components; ++c) {
            const int32_t d = rows[c][x];
            const uint32_t category = CategoryOf(d);
            const uint32_t entry = tables[c]->entries[category];
            // Without a code the general loop would first have written the
            // whole bytes so far: -62 when they do not fit, else -64.
            if (!WritableLength(LengthOf(entry))) return w.PutWholeBytes() ? kKernelTooManyCodes : kKernelDataEnded;
            if (KernelStatus s = w.Put(LengthCode(entry), LengthOf(entry)); s != kKernelOk) return s;
            if (category != 16) {
                if (KernelStatus s = w.Put(ExtraBits(d, category), category); s != kKernelOk) return s;
            }
        }
    }
    // The whole bytes left, then the pending bits back.
    if (!w.PutWholeBytes()) return kKernelDataEnded;
    *position = w.at;
    StorePending(w.bits, (64 - w.freeBits) & 7, state);
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels

#define JPEGKERNELS_DEFINE_ENCODE_ROW_FAST(Suffix)                                                             \
    namespace jpegkernels {                                                                                  \
    KernelStatus LosslessEncodeRowFast_##Suffix(const int16_t* const* rows, int32_t columns, int32_t components, \
                                                uint8_t* buffer, int32_t capacity, uint32_t* position,       \
                                                const HuffmanEncoderTable* const* tables,                    \
                                                HuffmanEncoderState* state) {                                \
        return EncodeRowFast(rows, columns, components, buffer, capacity, position, tables, state);          \
    }                                                                                                        \
    }
