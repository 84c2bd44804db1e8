#include "vrx/core/scale/vrx_scalewidthppeby.h"

#include "vrx/core/scale/vrx_scalewidthppeengine.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleWidthPPEBy<C>::engine(VRX_Engine* source, uint32_t width) {
    return axis_stage<VRX_ScaleWidthPPEEngine, C>(source, width, VRX_ScaleAxis::width,
                                                  "VRX_ScaleWidthPPEBy::engine()", __FILE__, 96,
                                                  124, true);
}

template class VRX_ScaleWidthPPEBy<double>;
template class VRX_ScaleWidthPPEBy<VRX_FixedReal12>;

}  // namespace vrx
