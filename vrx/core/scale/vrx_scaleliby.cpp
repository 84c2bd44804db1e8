#include "vrx/core/scale/vrx_scaleliby.h"

#include "vrx/core/scale/vrx_scaleheightliby.h"
#include "vrx/core/scale/vrx_scaleratio.h"
#include "vrx/core/scale/vrx_scaleshrinkliby.h"
#include "vrx/core/scale/vrx_scaless.h"
#include "vrx/core/scale/vrx_scalewidthliby.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleLIBy<C>::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    const VRX_Header* h = source_header(source, "VRX_ScaleLIBy::engine()", __FILE__, 117);
    if (!h) return nullptr;
    if (height < h->height && width < h->width) {
        // With odd whole ratios every destination centre lies on a source
        // centre: interpolation picks single samples.
        uint32_t nx = 0, ny = 0;
        const bool whole = whole_ratio(h->width, width, nx) && whole_ratio(h->height, height, ny);
        if (whole && nx % 2 == 1 && ny % 2 == 1 && (h->bits == 8 || h->bits == 16))
            return VRX_ScaleSS(manager_).engine(source, nx, ny, nx / 2, ny / 2);
        return VRX_ScaleShrinkLIBy<C>(manager_).engine(source, width, height);
    }
    if (height < h->height) {
        VRX_Engine* rows = VRX_ScaleHeightLIBy<C>(manager_).engine(source, height);
        return VRX_ScaleWidthLIBy<C>(manager_).engine(rows, width);
    }
    VRX_Engine* columns = VRX_ScaleWidthLIBy<C>(manager_).engine(source, width);
    return VRX_ScaleHeightLIBy<C>(manager_).engine(columns, height);
}

template class VRX_ScaleLIBy<VRX_FixedReal12>;

}  // namespace vrx
