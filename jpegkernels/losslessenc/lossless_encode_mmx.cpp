// Lossless encoding rows of processor index 1: its own entries of rows 23,
// 25 and 26 with the general procedures and the index's writer reset.
#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/losslessenc/lossless_encode.h"

namespace jpegkernels {

KernelStatus LosslessDiffRow_Mmx(const uint16_t* samples, const uint16_t* above, uint16_t* differences, int32_t count,
                                 int32_t predictor) {
    return DifferenceRowGeneric(samples, above, differences, count, predictor);
}

KernelStatus LosslessEncodeRow_Mmx(const int16_t* const* rows, int32_t columns, int32_t components, uint8_t* buffer,
                                   int32_t capacity, uint32_t* position, const HuffmanEncoderTable* const* tables,
                                   HuffmanEncoderState* state, uint32_t flush) {
    return EncodeRowEntry<PutBits<false>, HuffmanEncoderStateReset_Mmx, nullptr>(
        rows, columns, components, buffer, capacity, position, tables, state, flush);
}

KernelStatus LosslessEncodeOneDiff_Mmx(const int16_t* difference, uint8_t* buffer, int32_t capacity,
                                       uint32_t* position, const HuffmanEncoderTable* table,
                                       HuffmanEncoderState* state, uint32_t flush) {
    return EncodeOneEntry<PutBits<false>, HuffmanEncoderStateReset_Mmx, nullptr>(difference, buffer, capacity,
                                                                                position, table, state, flush);
}

}  // namespace jpegkernels
