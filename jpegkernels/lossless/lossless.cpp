// Lossless decoding rows of processor index 0; rows 19, 20 and 21 serve
// index 1 as well.
#include "jpegkernels/lossless/lossless_decode.h"
#include "jpegkernels/lossless/lossless_kernels.h"
#include "jpegkernels/lossless/lossless_reconstruct.h"

namespace jpegkernels {

KernelStatus HuffmanDecodeOneDiff(const uint8_t* data, int32_t length, uint32_t* position, uint16_t* difference,
                                  MarkerWord* marker, const HuffmanDecoderTable* table, HuffmanDecoderState* state) {
    return DecodeOneDiffEntry<nullptr>(data, length, position, difference, marker, table, state);
}

KernelStatus LosslessDecodeRow(const uint8_t* data, int32_t length, uint32_t* position, uint16_t* const* outputs,
                               int32_t columns, int32_t components, MarkerWord* marker,
                               const HuffmanDecoderTable* const* tables, HuffmanDecoderState* state) {
    return DecodeRowEntry<nullptr>(data, length, position, outputs, columns, components, marker, tables, state);
}

KernelStatus LosslessReconstructFirstRow(const uint16_t* differences, uint16_t* output, int32_t count,
                                         int32_t precision, int32_t pointTransform) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessReconstructFirstRow>::Run(differences, output, count,
                                                                                         precision, pointTransform);
        s != kKernelOk) {
        return s;
    }
    uint32_t sample = FirstRowPrediction(precision, pointTransform);
    for (int32_t x = 0; x < count; ++x) {
        sample += differences[x];
        output[x] = static_cast<uint16_t>(sample);
    }
    return kKernelOk;
}

KernelStatus LosslessReconstructRow(const uint16_t* differences, const uint16_t* previous, uint16_t* output,
                                    int32_t count, int32_t predictor) {
    return ReconstructRowGeneric(differences, previous, output, count, predictor);
}

}  // namespace jpegkernels
