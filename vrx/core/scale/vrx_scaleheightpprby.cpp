#include "vrx/core/scale/vrx_scaleheightpprby.h"

#include "vrx/core/scale/vrx_scaleheightpprengine.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleHeightPPRBy<C>::engine(VRX_Engine* source, uint32_t height) {
    return axis_stage<VRX_ScaleHeightPPREngine, C>(source, height, VRX_ScaleAxis::height,
                                                   "VRX_ScaleHeightPPRBy::engine()", __FILE__, 96,
                                                   124, true);
}

template class VRX_ScaleHeightPPRBy<double>;
template class VRX_ScaleHeightPPRBy<VRX_FixedReal12>;

}  // namespace vrx
