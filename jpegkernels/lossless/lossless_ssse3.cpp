// Lossless decoding rows of processor index 4, with the fast row decoder.
#include "jpegkernels/lossless/lossless_decode_fast.h"
#include "jpegkernels/lossless/lossless_level.h"

JPEGKERNELS_DEFINE_LOSSLESS_LEVEL(Ssse3, 2)

namespace jpegkernels {

KernelStatus LosslessDecodeRowFast_Ssse3(const uint8_t* data, int32_t length, uint32_t* position,
                                         uint16_t* const* outputs, int32_t columns, int32_t components,
                                         MarkerWord* marker, const HuffmanDecoderTable* const* tables,
                                         HuffmanDecoderState* state) {
    return DecodeRowFast(data, length, position, outputs, columns, components, marker, tables, state);
}

KernelStatus LosslessDecodeRow_Ssse3(const uint8_t* data, int32_t length, uint32_t* position,
                                     uint16_t* const* outputs, int32_t columns, int32_t components,
                                     MarkerWord* marker, const HuffmanDecoderTable* const* tables,
                                     HuffmanDecoderState* state) {
    return DecodeRowEntry<LosslessDecodeRowFast_Ssse3>(data, length, position, outputs, columns, components, marker,
                                                       tables, state);
}

}  // namespace jpegkernels
