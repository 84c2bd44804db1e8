// Colour conversion and level-shift rows of processor index 0.
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

}  // namespace jpegkernels
