// Colour conversion and level-shift rows of processor index 0, and the
// decoder's interleaving companion of that index.
#include "jpegkernels/colorconv/colorconv_generic.h"
#include "jpegkernels/colorconv/colorconv_kernels.h"

namespace jpegkernels {

#define JPEGKERNELS_GENERIC_MCU_ENTRY(name, H, V, Convert)                                   \
    KernelStatus name(const uint8_t* source, int32_t rowStep, int16_t* const* planes) {      \
        return GenericMcuEntry<KernelRow::name, H, V, Convert>(source, rowStep, planes);     \
    }
JPEGKERNELS_GENERIC_MCU_ENTRY(RgbToYCbCrLevelShift444, 1, 1, true)
JPEGKERNELS_GENERIC_MCU_ENTRY(RgbToYCbCrLevelShift422, 2, 1, true)
JPEGKERNELS_GENERIC_MCU_ENTRY(RgbToYCbCrLevelShift420, 2, 2, true)
JPEGKERNELS_GENERIC_MCU_ENTRY(LevelShiftSplit444, 1, 1, false)
JPEGKERNELS_GENERIC_MCU_ENTRY(LevelShiftSplit422, 2, 1, false)
JPEGKERNELS_GENERIC_MCU_ENTRY(LevelShiftSplit420, 2, 2, false)
#undef JPEGKERNELS_GENERIC_MCU_ENTRY

void InterleaveSamples3(const uint8_t* c0, const uint8_t* c1, const uint8_t* c2, uint8_t* out, uint32_t n,
                        uint32_t halved) {
    for (uint32_t x = 0; x < n; ++x) {
        const uint32_t xc = x >> halved;
        out[3 * x] = c0[x];
        out[3 * x + 1] = c1[xc];
        out[3 * x + 2] = c2[xc];
    }
}

const InterleaveSamplesFunction kInterleaveSamples3[kProcessorColumns] = {
    InterleaveSamples3,      InterleaveSamples3_Mmx,   InterleaveSamples3_Sse2,
    InterleaveSamples3_Sse3, InterleaveSamples3_Ssse3, InterleaveSamples3_Sse41,
};

}  // namespace jpegkernels
