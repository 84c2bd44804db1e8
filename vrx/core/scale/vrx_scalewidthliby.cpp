#include "vrx/core/scale/vrx_scalewidthliby.h"

#include "vrx/core/scale/vrx_scalenn.h"
#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/core/scale/vrx_scalewidthliengine.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleWidthLIBy<C>::engine(VRX_Engine* source, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthLIBy::engine()";
    const VRX_Header* h = source_header(source, text, __FILE__, 101);
    if (!h) return nullptr;
    if (width == h->width) return source;
    // Interpolation needs two columns: a single one is repeated.
    if (h->width == 1) return VRX_ScaleNN(manager_).engine(source, width, h->height);
    return by_integer_sample(manager_, *h, text, __FILE__, 130, 141, 147, [&]<class T>(T*) {
        return build<VRX_ScaleWidthLIEngine<T, C>>(source, h, width);
    });
}

template class VRX_ScaleWidthLIBy<VRX_FixedReal12>;

}  // namespace vrx
