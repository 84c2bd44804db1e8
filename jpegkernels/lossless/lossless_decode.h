#pragma once
// Decoding of lossless differences: the general path over the bit reader
// (every level) and the fast kernels of rows 19 and 20. Internal linkage:
// every level's translation unit compiles its own copy.
#include <cstdint>

#include "jpegkernels/huffdecode/bit_reader.h"
#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/kernel_records.h"
#include "jpegkernels/lossless/lossless_kernels.h"

namespace jpegkernels {
namespace {

// Category 16 (and any larger symbol) stands for this difference, with no
// extra bits.
constexpr uint16_t kDifference32768 = 0x8000;

// The difference of category s and its extra bits v (s = 1..15).
inline uint16_t ExtendDifference(uint32_t v, int32_t s) { return static_cast<uint16_t>(Extend(v, s)); }

// One difference by the general path: 0, or the first failing status of the
// bit reader (nothing stored then).
inline KernelStatus DecodeDifference(const uint8_t* data, int32_t length, uint32_t* position, MarkerWord* marker,
                                     const HuffmanDecoderTable* table, HuffmanDecoderState* state,
                                     uint16_t* difference) {
    uint32_t s;
    if (KernelStatus r = DecodeSymbol(data, length, position, marker, &s, table, state); r < 0) return r;
    if (s == 0) {
        *difference = 0;
    } else if (s >= 16) {
        *difference = kDifference32768;
    } else {
        uint32_t v;
        if (KernelStatus r = ReceiveBits(data, length, position, marker, static_cast<int32_t>(s), state, &v);
            r < 0) {
            return r;
        }
        *difference = ExtendDifference(v, static_cast<int32_t>(s));
    }
    return kKernelOk;
}

// Row 20's general loop over the entry's own copies of the pointers.
inline KernelStatus DecodeRowGeneral(const uint8_t* data, int32_t length, uint32_t* position,
                                     uint16_t* const* outputs, int32_t columns, int32_t components,
                                     MarkerWord* marker, const HuffmanDecoderTable* const* tables,
                                     HuffmanDecoderState* state) {
    for (int32_t x = 0; x < columns; ++x) {
        for (int32_t c = 0; c < components; ++c) {
            if (KernelStatus s = DecodeDifference(data, length, position, marker, tables[c], state, &outputs[c][x]);
                s < 0) {
                return s;
            }
        }
    }
    return kKernelOk;
}

// Row 19's fast kernel: a 32-bit buffer topped up by three bytes before the
// code or two before the extra bits, codes of up to 8 bits only.
inline KernelStatus DecodeOneDiffFast(const uint8_t* data, uint16_t* difference, uint32_t* position,
                                      const HuffmanDecoderTable* table, HuffmanDecoderState* state) {
    uint32_t buffer = state->bitBuffer;
    int32_t count = state->bitCount;
    uint32_t at = *position;
    if (count < 0 || count > 32) return kKernelFastDeclined;
    if (count < 8) {
        const uint32_t b0 = data[at], b1 = data[at + 1], b2 = data[at + 2];
        if (b0 == 0xFF || b1 == 0xFF || b2 == 0xFF) return kKernelFastDeclined;
        buffer = (buffer << 24) | b0 << 16 | b1 << 8 | b2;
        count += 24;
        at += 3;
    }
    const uint32_t entry = table->lookahead[(buffer >> (count - 8)) & 0xFF];
    const int32_t n = static_cast<int32_t>(entry >> 16);
    if (n == 0) return kKernelFastDeclined;
    count -= n;
    const uint32_t s = entry & 0xFFFF;
    uint16_t value = 0;
    if (s >= 16) {
        value = kDifference32768;
    } else if (s != 0) {
        if (count < static_cast<int32_t>(s)) {
            const uint32_t b0 = data[at], b1 = data[at + 1];
            if (b0 == 0xFF || b1 == 0xFF) return kKernelFastDeclined;
            buffer = (buffer << 16) | b0 << 8 | b1;
            count += 16;
            at += 2;
        }
        count -= static_cast<int32_t>(s);
        value = ExtendDifference((buffer >> count) & ((1u << s) - 1), static_cast<int32_t>(s));
    }
    *difference = value;
    state->bitBuffer = buffer;
    state->bitCount = count;
    *position = at;
    return kKernelOk;
}

// Bytes left after the position, in 64 bits, so that a position past the
// end never looks like plenty.
inline int64_t BytesLeft(int32_t length, const uint32_t* position) {
    return static_cast<int64_t>(length) - static_cast<int64_t>(*position);
}

// The entry of row 19 for an index with a fast kernel.
template <KernelStatus (*Fast)(const uint8_t*, uint16_t*, uint32_t*, const HuffmanDecoderTable*,
                               HuffmanDecoderState*)>
KernelStatus DecodeOneDiffEntry(const uint8_t* data, int32_t length, uint32_t* position, uint16_t* difference,
                                MarkerWord* marker, const HuffmanDecoderTable* table, HuffmanDecoderState* state) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanDecodeOneDiff>::Run(data, length, position,
                                                                                  difference, marker, table, state);
        s != kKernelOk) {
        return s;
    }
    if constexpr (Fast != nullptr) {
        if (BytesLeft(length, position) >= 8 && *marker == 0 &&
            Fast(data, difference, position, table, state) == kKernelOk) {
            return kKernelOk;
        }
    }
    return DecodeDifference(data, length, position, marker, table, state, difference);
}

// The entry of row 20; Fast is the index's fast kernel or null.
template <KernelStatus (*Fast)(const uint8_t*, int32_t, uint32_t*, uint16_t* const*, int32_t, int32_t,
                               MarkerWord*, const HuffmanDecoderTable* const*, HuffmanDecoderState*)>
KernelStatus DecodeRowEntry(const uint8_t* data, int32_t length, uint32_t* position, uint16_t* const* outputs,
                            int32_t columns, int32_t components, MarkerWord* marker,
                            const HuffmanDecoderTable* const* tables, HuffmanDecoderState* state) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessDecodeRow>::Run(
            data, length, position, outputs, columns, components, marker, tables, state);
        s != kKernelOk) {
        return s;
    }
    const int32_t n = components < 4 ? components : 4;
    uint16_t* rows[4];
    const HuffmanDecoderTable* ownTables[4];
    for (int32_t c = 0; c < n; ++c) {
        rows[c] = outputs[c];
        ownTables[c] = tables[c];
    }
    if constexpr (Fast != nullptr) {
        if (Fast(data, length, position, outputs, columns, components, marker, ownTables, state) == kKernelOk) {
            return kKernelOk;
        }
    }
    return DecodeRowGeneral(data, length, position, rows, columns, n, marker, ownTables, state);
}

}  // namespace
}  // namespace jpegkernels
