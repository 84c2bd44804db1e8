#include "vrx/core/scale/vrx_scaleppby.h"

#include "vrx/core/scale/vrx_scaleheightppby.h"
#include "vrx/core/scale/vrx_scalewidthppby.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScalePPBy<C>::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    const VRX_Header* h = source_header(source, "VRX_ScalePPBy::engine()", __FILE__, 109);
    if (!h) return nullptr;
    if (height < h->height) {
        VRX_Engine* rows = VRX_ScaleHeightPPBy<C>(manager_).engine(source, height);
        return VRX_ScaleWidthPPBy<C>(manager_).engine(rows, width);
    }
    VRX_Engine* columns = VRX_ScaleWidthPPBy<C>(manager_).engine(source, width);
    return VRX_ScaleHeightPPBy<C>(manager_).engine(columns, height);
}

template class VRX_ScalePPBy<double>;
template class VRX_ScalePPBy<VRX_FixedReal12>;

}  // namespace vrx
