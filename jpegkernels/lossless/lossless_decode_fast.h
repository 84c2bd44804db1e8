#pragma once
// Row 20's fast kernel (processor indexes 2 to 5): the whole row through
// the 64-bit bit window, committed once at the end. Internal linkage.
#include <cstdint>

#include "jpegkernels/huffdecode/bit_window.h"
#include "jpegkernels/lossless/lossless_decode.h"

namespace jpegkernels {
namespace {

// Bits indexing the joined table.
constexpr int32_t kJoinedBits = 10;

// The joined look-up of one component's table for a long row: indexed by
// the next kJoinedBits bits, the difference in the low 16 bits and the
// number of bits of code and extra bits together in the high half; 0 where
// no code of 8 bits or fewer begins or its extra bits run past the index.
//
// Built code by code: a code of n bits owns 2^(8 - n) look-ahead entries
// from one aligned onwards and 2^(kJoinedBits - n) joined entries, in runs
// of one value per pattern of its extra bits.
inline void BuildJoinedTable(const HuffmanDecoderTable* table, uint32_t* joined) {
    constexpr uint32_t kSpread = kJoinedBits - 8;
    auto fill = [](uint32_t* p, uint32_t count, uint32_t value) {
        for (uint32_t i = 0; i < count; ++i) p[i] = value;
    };
    uint32_t p = 0;
    while (p < 256) {
        const uint32_t entry = table->lookahead[p];
        const uint32_t n = entry >> 16;
        const uint32_t s = entry & 0xFFFF;
        const uint32_t span = n - 1 < 8 ? 1u << (8 - n) : 1;
        // No code of 8 bits or fewer starts here (or a look-ahead that is not
        // aligned as row 15 builds it): nothing joined.
        if (n - 1 >= 8 || (p & (span - 1)) != 0) {
            fill(joined + (p << kSpread), 1u << kSpread, 0);
            p += 1;
            continue;
        }
        uint32_t* run = joined + (p << kSpread);
        const uint32_t count = span << kSpread;
        if (s >= 16) {
            fill(run, count, kDifference32768 | n << 16);
        } else if (n + s > static_cast<uint32_t>(kJoinedBits)) {
            fill(run, count, 0);
        } else {
            const uint32_t width = 1u << (kJoinedBits - n - s);
            for (uint32_t v = 0; v < (1u << s); ++v) {
                fill(run + v * width, width, static_cast<uint16_t>(Extend(v, static_cast<int32_t>(s))) | (n + s) << 16);
            }
        }
        p += span;
    }
}

// Rows of at least this many columns build joined tables first.
constexpr int32_t kJoinedRowMinimum = 512;

// One difference by the table's look-ahead and lengths 9 to 16; false to
// decline. The window holds a step's bits.
inline bool DecodeInWindow(BitWindow& w, const HuffmanDecoderTable* table, uint16_t* difference) {
    uint32_t s;
    if (!w.Symbol(table, &s)) return false;
    *difference = s >= 16 ? kDifference32768 : static_cast<uint16_t>(w.Value(static_cast<int32_t>(s)));
    return true;
}

// The same through the joined table first.
inline bool DecodeJoined(BitWindow& w, const uint32_t* joined, const HuffmanDecoderTable* table,
                         uint16_t* difference) {
    const uint32_t e = joined[w.Peek(kJoinedBits)];
    if (__builtin_expect(e != 0, 1)) {
        w.Drop(static_cast<int32_t>(e >> 16));
        *difference = static_cast<uint16_t>(e);
        return true;
    }
    return DecodeInWindow(w, table, difference);
}

inline KernelStatus DecodeRowFast(const uint8_t* data, int32_t length, uint32_t* position,
                                  uint16_t* const* outputs, int32_t columns, int32_t components, MarkerWord* marker,
                                  const HuffmanDecoderTable* const* tables, HuffmanDecoderState* state) {
    if (components < 1 || components > 4 || *marker != 0) return kKernelFastDeclined;
    if (BytesLeft(length, position) < 2 * static_cast<int64_t>(columns)) return kKernelFastDeclined;
    BitWindow w;
    if (!w.Load(data, length, *position, state)) return kKernelFastDeclined;
    if (columns >= kJoinedRowMinimum) {
        // One joined table per distinct table of the components.
        uint32_t joined[4][1 << kJoinedBits];
        const uint32_t* lookup[4];
        for (int32_t c = 0; c < components; ++c) {
            int32_t same = 0;
            while (same < c && tables[same] != tables[c]) ++same;
            if (same == c) BuildJoinedTable(tables[c], joined[c]);
            lookup[c] = joined[same];
        }
        if (components == 1) {
            uint16_t* out = outputs[0];
            for (int32_t x = 0; x < columns; ++x) {
                if (!w.Fill() || !DecodeJoined(w, lookup[0], tables[0], &out[x])) return kKernelFastDeclined;
            }
        } else {
            for (int32_t x = 0; x < columns; ++x) {
                for (int32_t c = 0; c < components; ++c) {
                    if (!w.Fill() || !DecodeJoined(w, lookup[c], tables[c], &outputs[c][x])) {
                        return kKernelFastDeclined;
                    }
                }
            }
        }
    } else {
        for (int32_t x = 0; x < columns; ++x) {
            for (int32_t c = 0; c < components; ++c) {
                if (!w.Fill() || !DecodeInWindow(w, tables[c], &outputs[c][x])) return kKernelFastDeclined;
            }
        }
    }
    w.Commit(state, position);
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels

// Defines row 20's fast kernel and entry of one processor index (2, 4 or 5).
#define JPEGKERNELS_DEFINE_FAST_DECODE_ROW(Suffix)                                                               \
    namespace jpegkernels {                                                                                   \
    KernelStatus LosslessDecodeRowFast_##Suffix(const uint8_t* data, int32_t length, uint32_t* position,        \
                                                uint16_t* const* outputs, int32_t columns, int32_t components,  \
                                                MarkerWord* marker, const HuffmanDecoderTable* const* tables,   \
                                                HuffmanDecoderState* state) {                                   \
        return DecodeRowFast(data, length, position, outputs, columns, components, marker, tables, state);     \
    }                                                                                                         \
    KernelStatus LosslessDecodeRow_##Suffix(const uint8_t* data, int32_t length, uint32_t* position,            \
                                            uint16_t* const* outputs, int32_t columns, int32_t components,      \
                                            MarkerWord* marker, const HuffmanDecoderTable* const* tables,       \
                                            HuffmanDecoderState* state) {                                       \
        return DecodeRowEntry<LosslessDecodeRowFast_##Suffix>(data, length, position, outputs, columns,         \
                                                              components, marker, tables, state);               \
    }                                                                                                         \
    }
