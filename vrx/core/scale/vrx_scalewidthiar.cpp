#include "vrx/core/scale/vrx_scalewidthiar.h"

#include "vrx/core/scale/vrx_scalewidthiarengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleWidthIAR::engine(VRX_Engine* source, uint32_t ratio) {
    return averaging_stage<VRX_ScaleWidthIAREngine>(
        source, ratio, [](const VRX_Header& h) { return h.width; }, "VRX_ScaleWidthIAR::engine()",
        __FILE__);
}

}  // namespace vrx
