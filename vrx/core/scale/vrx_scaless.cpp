#include "vrx/core/scale/vrx_scaless.h"

#include "vrx/core/scale/vrx_scalessengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleSS::engine(VRX_Engine* source, uint32_t step_x, uint32_t step_y,
                                uint32_t offset_x, uint32_t offset_y) {
    const VRX_Header* h = source_header(source, "VRX_ScaleSS::engine()", __FILE__, 56);
    if (!h) return nullptr;
    if (step_x == 1 && step_y == 1 && offset_x == 0 && offset_y == 0) return source;
    auto make = [&]<class T>(T*) {
        return build<VRX_ScaleSSEngine<T>>(source, h, step_x, step_y, offset_x, offset_y);
    };
    const VRX_DataType* type = h->data_type();
    if (type->is_u_integer()) {
        if (h->bits == 8) return make(static_cast<unsigned char*>(nullptr));
        if (h->bits == 16) return make(static_cast<unsigned short*>(nullptr));
        return make(static_cast<unsigned int*>(nullptr));
    }
    if (type->is_s_integer()) {
        if (h->bits == 8) return make(static_cast<char*>(nullptr));
        if (h->bits == 16) return make(static_cast<short*>(nullptr));
        return make(static_cast<int*>(nullptr));
    }
    if (h->bits == 32) return make(static_cast<float*>(nullptr));
    return make(static_cast<double*>(nullptr));
}

}  // namespace vrx
