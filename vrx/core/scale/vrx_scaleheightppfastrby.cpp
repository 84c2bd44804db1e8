#include "vrx/core/scale/vrx_scaleheightppfastrby.h"

#include "vrx/core/scale/vrx_scaleheightppfastrengine.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleHeightPPFastRBy<C>::engine(VRX_Engine* source, uint32_t height) {
    return axis_stage<VRX_ScaleHeightPPFastREngine, C>(source, height, VRX_ScaleAxis::height,
                                                       "VRX_ScaleHeightPPFastRBy::engine()",
                                                       __FILE__, 95, 116, false);
}

template class VRX_ScaleHeightPPFastRBy<double>;
template class VRX_ScaleHeightPPFastRBy<VRX_FixedReal12>;

}  // namespace vrx
