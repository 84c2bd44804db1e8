// Lossless encoding rows of processor index 0; rows 24 and 27 serve index 1
// as well.
#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/losslessenc/lossless_encode.h"

namespace jpegkernels {

KernelStatus LosslessDiffFirstRow(const uint16_t* samples, uint16_t* differences, int32_t count, int32_t precision,
                                  int32_t pointTransform) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessDiffFirstRow>::Run(samples, differences, count,
                                                                                  precision, pointTransform);
        s != kKernelOk) {
        return s;
    }
    differences[0] = static_cast<uint16_t>(samples[0] - FirstRowPrediction(precision, pointTransform));
    for (int32_t x = 1; x < count; ++x) differences[x] = static_cast<uint16_t>(samples[x] - samples[x - 1]);
    return kKernelOk;
}

KernelStatus LosslessDiffRow(const uint16_t* samples, const uint16_t* above, uint16_t* differences, int32_t count,
                             int32_t predictor) {
    return DifferenceRowGeneric(samples, above, differences, count, predictor);
}

KernelStatus LosslessEncodeRow(const int16_t* const* rows, int32_t columns, int32_t components, uint8_t* buffer,
                               int32_t capacity, uint32_t* position, const HuffmanEncoderTable* const* tables,
                               HuffmanEncoderState* state, uint32_t flush) {
    return EncodeRowEntry<HuffmanPutBits, HuffmanEncoderStateReset, nullptr>(rows, columns, components, buffer,
                                                                            capacity, position, tables, state, flush);
}

KernelStatus LosslessEncodeOneDiff(const int16_t* difference, uint8_t* buffer, int32_t capacity, uint32_t* position,
                                   const HuffmanEncoderTable* table, HuffmanEncoderState* state, uint32_t flush) {
    return EncodeOneEntry<HuffmanPutBits, HuffmanEncoderStateReset, nullptr>(difference, buffer, capacity, position,
                                                                            table, state, flush);
}

KernelStatus LosslessGatherStatistics(const int16_t* difference, uint32_t* counts) {
    return CountCategory(difference, counts);
}

}  // namespace jpegkernels
