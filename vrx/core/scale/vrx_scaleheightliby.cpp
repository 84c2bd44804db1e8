#include "vrx/core/scale/vrx_scaleheightliby.h"

#include "vrx/core/scale/vrx_scaleheightliengine.h"
#include "vrx/core/scale/vrx_scalenn.h"
#include "vrx/core/scale/vrx_scalesupport.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleHeightLIBy<C>::engine(VRX_Engine* source, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightLIBy::engine()";
    const VRX_Header* h = source_header(source, text, __FILE__, 102);
    if (!h) return nullptr;
    if (height == h->height) return source;
    // Interpolation needs two lines: a single one is repeated.
    if (h->height == 1) return VRX_ScaleNN(manager_).engine(source, h->width, height);
    return by_integer_sample(manager_, *h, text, __FILE__, 131, 142, 148, [&]<class T>(T*) {
        return build<VRX_ScaleHeightLIEngine<T, C>>(source, h, height);
    });
}

template class VRX_ScaleHeightLIBy<VRX_FixedReal12>;

}  // namespace vrx
