#include "vrx/core/scale/vrx_scaleshrinknn.h"

#include "vrx/core/scale/vrx_scaleshrinknnengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleShrinkNN::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    constexpr const char* text = "VRX_ScaleShrinkNN::engine()";
    const VRX_Header* h = source_header(source, text, __FILE__, 61);
    if (!h) return nullptr;
    if (width == h->width && height == h->height) return source;
    const VRX_DataType* type = h->data_type();
    if (type->is_u_integer()) {
        if (h->bits == 8 || h->bits == 1)
            return build<VRX_ScaleShrinkNNEngine<unsigned char>>(source, h, width, height);
        if (h->bits == 16)
            return build<VRX_ScaleShrinkNNEngine<unsigned short>>(source, h, width, height);
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 86);
        return nullptr;
    }
    if (type->is_s_integer()) {
        if (h->bits == 8) return build<VRX_ScaleShrinkNNEngine<char>>(source, h, width, height);
        if (h->bits == 16) return build<VRX_ScaleShrinkNNEngine<short>>(source, h, width, height);
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 98);
        return nullptr;
    }
    manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 103);
    return nullptr;
}

}  // namespace vrx
