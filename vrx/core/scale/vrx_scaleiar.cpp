#include "vrx/core/scale/vrx_scaleiar.h"

#include "vrx/core/scale/vrx_scaleheightiar.h"
#include "vrx/core/scale/vrx_scalewidthiar.h"

namespace vrx {

VRX_Engine* VRX_ScaleIAR::engine(VRX_Engine* source, uint32_t width_ratio, uint32_t height_ratio) {
    VRX_Engine* rows = VRX_ScaleHeightIAR(manager_).engine(source, height_ratio);
    return VRX_ScaleWidthIAR(manager_).engine(rows, width_ratio);
}

}  // namespace vrx
