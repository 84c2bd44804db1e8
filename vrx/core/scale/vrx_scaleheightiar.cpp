#include "vrx/core/scale/vrx_scaleheightiar.h"

#include "vrx/core/scale/vrx_scaleheightiarengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleHeightIAR::engine(VRX_Engine* source, uint32_t ratio) {
    return averaging_stage<VRX_ScaleHeightIAREngine>(
        source, ratio, [](const VRX_Header& h) { return h.height; }, "VRX_ScaleHeightIAR::engine()",
        __FILE__);
}

}  // namespace vrx
