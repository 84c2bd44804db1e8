#include "vrx/core/scale/vrx_scaleheightppeby.h"

#include "vrx/core/scale/vrx_scaleheightppeengine.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleHeightPPEBy<C>::engine(VRX_Engine* source, uint32_t height) {
    return axis_stage<VRX_ScaleHeightPPEEngine, C>(source, height, VRX_ScaleAxis::height,
                                                   "VRX_ScaleHeightPPEBy::engine()", __FILE__, 96,
                                                   124, true);
}

template class VRX_ScaleHeightPPEBy<double>;
template class VRX_ScaleHeightPPEBy<VRX_FixedReal12>;

}  // namespace vrx
