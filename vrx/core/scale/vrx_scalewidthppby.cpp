#include "vrx/core/scale/vrx_scalewidthppby.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleWidthPPBy<C>::engine(VRX_Engine* source, uint32_t width) {
    return projection<C>(source, width, VRX_ScaleAxis::width, "VRX_ScaleWidthPPBy::engine()",
                         __FILE__, 94, 98);
}

template class VRX_ScaleWidthPPBy<double>;
template class VRX_ScaleWidthPPBy<VRX_FixedReal12>;

}  // namespace vrx
