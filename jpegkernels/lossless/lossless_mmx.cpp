// Lossless reconstruction of processor index 1: its own entry of row 22
// with the general loops (rows 19 to 21 share the index-0 entries).
#include "jpegkernels/lossless/lossless_kernels.h"
#include "jpegkernels/lossless/lossless_reconstruct.h"

namespace jpegkernels {

KernelStatus LosslessReconstructRow_Mmx(const uint16_t* differences, const uint16_t* previous, uint16_t* output,
                                        int32_t count, int32_t predictor) {
    return ReconstructRowGeneric(differences, previous, output, count, predictor);
}

}  // namespace jpegkernels
