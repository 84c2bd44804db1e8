#include "vrx/core/scale/vrx_scalewidthpprby.h"

#include "vrx/core/scale/vrx_scalewidthpprengine.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleWidthPPRBy<C>::engine(VRX_Engine* source, uint32_t width) {
    return axis_stage<VRX_ScaleWidthPPREngine, C>(source, width, VRX_ScaleAxis::width,
                                                  "VRX_ScaleWidthPPRBy::engine()", __FILE__, 96,
                                                  124, true);
}

template class VRX_ScaleWidthPPRBy<double>;
template class VRX_ScaleWidthPPRBy<VRX_FixedReal12>;

}  // namespace vrx
