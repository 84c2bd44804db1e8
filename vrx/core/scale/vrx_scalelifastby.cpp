#include "vrx/core/scale/vrx_scalelifastby.h"

#include "vrx/core/scale/vrx_scaleliby.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleLIFastBy<C>::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    if (!source_header(source, "VRX_ScaleLIFastBy::engine()", __FILE__, 44)) return nullptr;
    return VRX_ScaleLIBy<C>(manager_).engine(source, width, height);
}

template class VRX_ScaleLIFastBy<VRX_FixedReal12>;

}  // namespace vrx
