#include "vrx/core/dlut/vrx_dluttetrahedron.h"

#include "vrx/core/dlut/vrx_dluttetrahedronengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_DLutTetrahedron::engine(VRX_Engine* source, uint16_t bits, uint16_t channels,
                                        uint16_t grid, uint8_t first_slowest, const void* table,
                                        const VRX_ColorType* color_type) {
    constexpr const char* text = "VRX_DLutTetrahedron::engine()";
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 52);
        return nullptr;
    }
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    auto make = [&]<class E>(E*) -> VRX_Engine* {
        return make_engine<E>(src, dst, [&](E* e) {
            return e->initiate(header, src, dst, bits, channels, grid, first_slowest, table,
                               color_type);
        });
    };
    if (header->bits == 8)
        return make(static_cast<VRX_DLutTetrahedronEngine<uint8_t, uint32_t>*>(nullptr));
    if (header->bits == 16)
        return make(static_cast<VRX_DLutTetrahedronEngine<uint16_t, double>*>(nullptr));
    manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 83);
    return regist_engine(nullptr, src, dst);
}

}  // namespace vrx
