#pragma once
// Row 20's fast kernel (processor indexes 4 and 5): the whole row through
// the 64-bit bit window, committed once at the end. Internal linkage.
#include <cstdint>

#include "jpegkernels/huffdecode/bit_window.h"
#include "jpegkernels/lossless/lossless_decode.h"

namespace jpegkernels {
namespace {

inline KernelStatus DecodeRowFast(const uint8_t* data, int32_t length, uint32_t* position,
                                  uint16_t* const* outputs, int32_t columns, int32_t components, MarkerWord* marker,
                                  const HuffmanDecoderTable* const* tables, HuffmanDecoderState* state) {
    if (components < 1 || components > 4 || *marker != 0) return kKernelFastDeclined;
    if (BytesLeft(length, position) < 2 * static_cast<int64_t>(columns)) return kKernelFastDeclined;
    BitWindow w;
    if (!w.Load(data, length, *position, state)) return kKernelFastDeclined;
    for (int32_t x = 0; x < columns; ++x) {
        for (int32_t c = 0; c < components; ++c) {
            uint32_t s;
            if (!w.Fill() || !w.Symbol(tables[c], &s)) return kKernelFastDeclined;
            outputs[c][x] = s >= 16 ? kDifference32768 : static_cast<uint16_t>(w.Value(static_cast<int32_t>(s)));
        }
    }
    w.Commit(state, position);
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels

// Defines row 20's fast kernel and entry of one processor index (4 or 5).
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
