#include "vrx/core/scale/vrx_scalewidthire8xnbits.h"

#include "vrx/core/scale/vrx_scalewidthire8xnbitsengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleWidthIRE8xNBits::engine(VRX_Engine* source, uint32_t factor) {
    constexpr const char* text = "VRX_ScaleWidthIRE8xNBits::engine()";
    const VRX_Header* h = source_header(source, text, __FILE__, 80);
    if (!h) return nullptr;
    if (factor == 1) return source;
    const VRX_DataType* type = h->data_type();
    if (type->is_u_integer()) {
        if (h->bits == 8)
            return build<VRX_ScaleWidthIRE8xNBitsEngine<unsigned char>>(source, h, factor);
        if (h->bits == 16)
            return build<VRX_ScaleWidthIRE8xNBitsEngine<unsigned short>>(source, h, factor);
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 103);
        return nullptr;
    }
    if (type->is_s_integer()) {
        if (h->bits == 8) return build<VRX_ScaleWidthIRE8xNBitsEngine<char>>(source, h, factor);
        if (h->bits == 16) return build<VRX_ScaleWidthIRE8xNBitsEngine<short>>(source, h, factor);
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 115);
        return nullptr;
    }
    manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 120);
    return nullptr;
}

}  // namespace vrx
