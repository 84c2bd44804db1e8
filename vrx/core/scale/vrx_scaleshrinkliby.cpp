#include "vrx/core/scale/vrx_scaleshrinkliby.h"

#include "vrx/core/scale/vrx_scaleshrinkliengine.h"
#include "vrx/core/scale/vrx_scalesupport.h"

namespace vrx {

template <class C>
VRX_Engine* VRX_ScaleShrinkLIBy<C>::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    constexpr const char* text = "VRX_ScaleShrinkLIBy::engine()";
    const VRX_Header* h = source_header(source, text, __FILE__, 118);
    if (!h) return nullptr;
    if (width == h->width && height == h->height) return source;
    return by_integer_sample(manager_, *h, text, __FILE__, 141, 152, 158, [&]<class T>(T*) {
        return build<VRX_ScaleShrinkLIEngine<T, C>>(source, h, width, height);
    });
}

template class VRX_ScaleShrinkLIBy<VRX_FixedReal12>;

}  // namespace vrx
