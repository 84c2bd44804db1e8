#include "vrx/core/scale/vrx_scalewidthppfastrby.h"

#include "vrx/core/scale/vrx_scalewidthppfastrengine.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleWidthPPFastRBy<C>::engine(VRX_Engine* source, uint32_t width) {
    return axis_stage<VRX_ScaleWidthPPFastREngine, C>(source, width, VRX_ScaleAxis::width,
                                                      "VRX_ScaleWidthPPFastRBy::engine()", __FILE__,
                                                      95, 116, false);
}

template class VRX_ScaleWidthPPFastRBy<double>;
template class VRX_ScaleWidthPPFastRBy<VRX_FixedReal12>;

}  // namespace vrx
