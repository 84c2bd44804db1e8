#include "vrx/core/scale/vrx_scaleheightppby.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleHeightPPBy<C>::engine(VRX_Engine* source, uint32_t height) {
    return projection<C>(source, height, VRX_ScaleAxis::height, "VRX_ScaleHeightPPBy::engine()",
                         __FILE__, 95, 99);
}

template class VRX_ScaleHeightPPBy<double>;
template class VRX_ScaleHeightPPBy<VRX_FixedReal12>;

}  // namespace vrx
