#pragma once
// Lossless prediction differences (rows 24 and 25), their Huffman coding
// (rows 23 and 26) and category counts (row 27). Internal linkage: every
// level's translation unit compiles its own copy.
#include <emmintrin.h>

#include <cstdint>

#include "jpegkernels/huffencode/bit_writer.h"
#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/lossless/lossless_lanes.h"
#include "jpegkernels/lossless/lossless_reconstruct.h"
#include "jpegkernels/losslessenc/lossless_encode_kernels.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

// Predictor 1, beside the decoder's predictions 2 to 7.
struct PredictLeft {
    static int32_t Of(int32_t ra, int32_t, int32_t) { return ra; }
};

// differences[x] = samples[x] - Px, Ra being the sample to the left; with
// Step 2 two columns per pass.
template <class Predict, int Step>
inline void DifferenceRow(const uint16_t* samples, const uint16_t* above, uint16_t* differences, int32_t count) {
    differences[0] = static_cast<uint16_t>(samples[0] - above[0]);
    int32_t x = 1;
    if constexpr (Step == 2) {
        for (; x + 2 <= count; x += 2) {
            const uint32_t p0 = static_cast<uint32_t>(Predict::Of(samples[x - 1], above[x], above[x - 1]));
            const uint32_t p1 = static_cast<uint32_t>(Predict::Of(samples[x], above[x + 1], above[x]));
            differences[x] = static_cast<uint16_t>(samples[x] - p0);
            differences[x + 1] = static_cast<uint16_t>(samples[x + 1] - p1);
        }
    }
    for (; x < count; ++x) {
        differences[x] =
            static_cast<uint16_t>(samples[x] - static_cast<uint32_t>(Predict::Of(samples[x - 1], above[x], above[x - 1])));
    }
}

template <int Step>
inline void DifferenceRowScalar(const uint16_t* samples, const uint16_t* above, uint16_t* differences, int32_t count,
                                int32_t predictor) {
    switch (predictor) {
        case 1:
            DifferenceRow<PredictLeft, Step>(samples, above, differences, count);
            break;
        case 2:
            DifferenceRow<PredictRb, Step>(samples, above, differences, count);
            break;
        case 3:
            DifferenceRow<PredictRc, Step>(samples, above, differences, count);
            break;
        case 4:
            DifferenceRow<PredictPlane, Step>(samples, above, differences, count);
            break;
        case 5:
            DifferenceRow<PredictRaHalfB, Step>(samples, above, differences, count);
            break;
        case 6:
            DifferenceRow<PredictRbHalfA, Step>(samples, above, differences, count);
            break;
        default:
            DifferenceRow<PredictAverage, Step>(samples, above, differences, count);
            break;
    }
}

// The entries of row 25 at indexes 0 and 1.
inline KernelStatus DifferenceRowGeneric(const uint16_t* samples, const uint16_t* above, uint16_t* differences,
                                         int32_t count, int32_t predictor) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessDiffRow>::Run(samples, above, differences, count,
                                                                             predictor);
        s != kKernelOk) {
        return s;
    }
    DifferenceRowScalar<1>(samples, above, differences, count, predictor);
    return kKernelOk;
}

// differences[0] = samples[0] - first, then each sample less the one to its
// left: single columns up to a 16-byte boundary of the output (never, for an
// odd output address), 16 columns a step, then single columns. Load supplies
// the level's unaligned 16-byte load.
template <class Load>
inline void DifferencesFromLeft(const uint16_t* samples, uint16_t* differences, int32_t count, uint32_t first) {
    differences[0] = static_cast<uint16_t>(samples[0] - first);
    int32_t x = 1;
    for (; x < count && (Address(differences + x) & 15) != 0; ++x) {
        differences[x] = static_cast<uint16_t>(samples[x] - samples[x - 1]);
    }
    for (; x + 16 <= count; x += 16) {
        for (int h = 0; h < 16; h += 8) {
            const uint16_t* at = samples + x + h;
            const __m128i current =
                (Address(at) & 15) == 0 ? _mm_load_si128(reinterpret_cast<const __m128i*>(at)) : Load::Unaligned(at);
            _mm_store_si128(reinterpret_cast<__m128i*>(differences + x + h),
                            _mm_sub_epi16(current, Load::Unaligned(at - 1)));
        }
    }
    for (; x < count; ++x) differences[x] = static_cast<uint16_t>(samples[x] - samples[x - 1]);
}

// Codes one difference by the general path. Row 23 (RefuseMissing) gives
// -64 before writing anything when its category has no code; row 26 lets
// the writer refuse the length.
template <PutBitsFunction Put, bool RefuseMissing>
inline KernelStatus EncodeDifference(int16_t difference, const HuffmanEncoderTable* table, uint8_t* buffer,
                                     int32_t capacity, uint32_t* position, HuffmanEncoderState* state) {
    const uint32_t category = CategoryOf(difference);
    const uint32_t entry = table->entries[category];
    if (RefuseMissing && !WritableLength(LengthOf(entry))) return kKernelTooManyCodes;
    return PutCoded<Put, false>(entry, difference, category, buffer, capacity, position, state);
}

using EncodeRowFastFunction = KernelStatus (*)(const int16_t* const*, int32_t, int32_t, uint8_t*, int32_t,
                                               uint32_t*, const HuffmanEncoderTable* const*, HuffmanEncoderState*);
using EncodeOneFastFunction = KernelStatus (*)(const int16_t*, uint8_t*, uint32_t*, const HuffmanEncoderTable*,
                                               HuffmanEncoderState*);

// A row-23 entry: checks, flush, the fast coder when the level has one (its
// result stands unless it declined), then the general loop over at most
// four components with the entry's own copy of the table pointers.
template <PutBitsFunction Put, KernelStatus (*Reset)(HuffmanEncoderState*), EncodeRowFastFunction Fast>
KernelStatus EncodeRowEntry(const int16_t* const* rows, int32_t columns, int32_t components, uint8_t* buffer,
                            int32_t capacity, uint32_t* position, const HuffmanEncoderTable* const* tables,
                            HuffmanEncoderState* state, uint32_t flush) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessEncodeRow>::Run(
            rows, columns, components, buffer, capacity, position, tables, state, flush);
        s != kKernelOk) {
        return s;
    }
    if (flush != 0) return FlushEncoder<Put, Reset>(buffer, capacity, position, state);
    const int32_t n = components < 4 ? components : 4;
    // Only the first n entries are set, and only they are read.
    const HuffmanEncoderTable* own[4];
    for (int32_t c = 0; c < n; ++c) own[c] = tables[c];
    if constexpr (Fast != nullptr) {
        if (KernelStatus s = Fast(rows, columns, components, buffer, capacity, position, own, state);
            s != kKernelFastDeclined) {
            return s;
        }
    }
    for (int32_t x = 0; x < columns; ++x) {
        for (int32_t c = 0; c < n; ++c) {
            if (KernelStatus s = EncodeDifference<Put, true>(rows[c][x], own[c], buffer, capacity, position, state);
                s != kKernelOk) {
                return s;
            }
        }
    }
    return kKernelOk;
}

// A row-26 entry: checks, flush, the fast coder when the level has one and
// at least 9 bytes of room remain, else the general path.
template <PutBitsFunction Put, KernelStatus (*Reset)(HuffmanEncoderState*), EncodeOneFastFunction Fast>
KernelStatus EncodeOneEntry(const int16_t* difference, uint8_t* buffer, int32_t capacity, uint32_t* position,
                            const HuffmanEncoderTable* table, HuffmanEncoderState* state, uint32_t flush) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessEncodeOneDiff>::Run(difference, buffer, capacity,
                                                                                    position, table, state, flush);
        s != kKernelOk) {
        return s;
    }
    if (flush != 0) return FlushEncoder<Put, Reset>(buffer, capacity, position, state);
    if constexpr (Fast != nullptr) {
        if (Room(capacity, *position) >= 9 && Fast(difference, buffer, position, table, state) == kKernelOk) {
            return kKernelOk;
        }
    }
    return EncodeDifference<Put, false>(*difference, table, buffer, capacity, position, state);
}

// The fast one-difference coder: the code and the extra bits through a
// local copy of the writer, without capacity tests (9 bytes are free, at
// most 8 are written).
inline KernelStatus EncodeOneDiffFast(const int16_t* difference, uint8_t* buffer, uint32_t* position,
                                      const HuffmanEncoderTable* table, HuffmanEncoderState* state) {
    const int32_t d = *difference;
    const uint32_t category = CategoryOf(d);
    const uint32_t entry = table->entries[category];
    if (!WritableLength(LengthOf(entry))) return kKernelFastDeclined;
    int32_t count = PendingCount(state);
    uint32_t accumulator = PendingBits(state);
    uint32_t at = *position;
    auto put = [&](uint32_t bits, uint32_t length) {
        count += static_cast<int32_t>(length);
        accumulator |= (bits & ((1u << length) - 1)) << (24 - count);
        for (; count >= 8; count -= 8, accumulator <<= 8) {
            const uint8_t byte = static_cast<uint8_t>(accumulator >> 16);
            buffer[at++] = byte;
            if (byte == 0xFF) buffer[at++] = 0;
        }
    };
    put(CodeOf(entry), LengthOf(entry));
    if ((category & 15) != 0) put(ExtraBits(d, category), category);
    *position = at;
    state->accumulator = accumulator & 0xFFFFFF;
    state->clearedWord = 0;
    state->bitCount = count;
    return kKernelOk;
}

// Row 27 after its checks.
inline KernelStatus CountCategory(const int16_t* difference, uint32_t* counts) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessGatherStatistics>::Run(difference, counts);
        s != kKernelOk) {
        return s;
    }
    const uint32_t category = CategoryOf(*difference);
    if (category > 16) return kKernelCategoryAbove16;
    ++counts[category];
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels
