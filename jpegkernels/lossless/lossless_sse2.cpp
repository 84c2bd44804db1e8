// Lossless decoding rows of processor index 2; its row-20 entry serves
// index 3 as well.
#include "jpegkernels/lossless/lossless_level.h"

JPEGKERNELS_DEFINE_LOSSLESS_LEVEL(Sse2, 1)

namespace jpegkernels {

KernelStatus LosslessDecodeRow_Sse2(const uint8_t* data, int32_t length, uint32_t* position,
                                    uint16_t* const* outputs, int32_t columns, int32_t components, MarkerWord* marker,
                                    const HuffmanDecoderTable* const* tables, HuffmanDecoderState* state) {
    return DecodeRowEntry<nullptr>(data, length, position, outputs, columns, components, marker, tables, state);
}

}  // namespace jpegkernels
