#include "vrx/core/scale/vrx_scalewidthppfastby.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleWidthPPFastBy<C>::engine(VRX_Engine* source, uint32_t width) {
    return fast_projection<C>(source, width, VRX_ScaleAxis::width,
                              "VRX_ScaleWidthPPFastBy::engine()", __FILE__, 106, 110);
}

template class VRX_ScaleWidthPPFastBy<double>;
template class VRX_ScaleWidthPPFastBy<VRX_FixedReal12>;

}  // namespace vrx
