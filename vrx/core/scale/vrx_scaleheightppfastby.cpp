#include "vrx/core/scale/vrx_scaleheightppfastby.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleHeightPPFastBy<C>::engine(VRX_Engine* source, uint32_t height) {
    return fast_projection<C>(source, height, VRX_ScaleAxis::height,
                              "VRX_ScaleHeightPPFastBy::engine()", __FILE__, 106, 110);
}

template class VRX_ScaleHeightPPFastBy<double>;
template class VRX_ScaleHeightPPFastBy<VRX_FixedReal12>;

}  // namespace vrx
