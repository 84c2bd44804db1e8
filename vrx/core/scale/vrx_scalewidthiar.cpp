#include "vrx/core/scale/vrx_scalewidthiar.h"

#include "vrx/core/scale/vrx_scalesupport.h"
#include "vrx/core/scale/vrx_scalewidthiarengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleWidthIAR::engine(VRX_Engine* source, uint32_t ratio) {
    constexpr const char* text = "VRX_ScaleWidthIAR::engine()";
    const VRX_Header* h = source_header(source, text, __FILE__, 53);
    if (!h) return nullptr;
    if (ratio == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 56);
        return nullptr;
    }
    if (ratio == 1) return source;
    const uint32_t size = h->width / ratio != 0 ? h->width / ratio : 1;
    return by_unsigned_sample(manager_, *h, text, __FILE__, 82, [&]<class T>(T*) {
        return build<VRX_ScaleWidthIAREngine<T>>(source, h, size);
    });
}

}  // namespace vrx
