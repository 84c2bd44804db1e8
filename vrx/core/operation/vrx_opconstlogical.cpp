#include "vrx/core/operation/vrx_opconstlogical.h"

#include "vrx/core/operation/vrx_opconstengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kEngineText = "VRX_OpConstLogical::engine()";
}

template <class Op>
VRX_Engine* VRX_OpConstLogical<Op>::engine(VRX_Engine* source, uint32_t constant) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 41);
        return nullptr;
    }
    const bool bytes = header->bits == 8;
    if ((bytes && constant == 0xFFu) || (header->bits == 16 && constant == 0xFFFFu)) return source;
    if (constant > (bytes ? 0xFFu : 0xFFFFu)) {
        manager_->report(VRX_ERROR_ARGUMENT, kEngineText, __FILE__, 92);
        return nullptr;
    }
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    if (bytes) {
        return make_engine<VRX_OpConstEngine<Op, uint8_t>>(src, dst, [&](auto* e) {
            return e->initiate(header, src, dst, static_cast<uint8_t>(constant));
        });
    }
    return make_engine<VRX_OpConstEngine<Op, uint16_t>>(src, dst, [&](auto* e) {
        return e->initiate(header, src, dst, static_cast<uint16_t>(constant));
    });
}

template class VRX_OpConstLogical<VRX_PixelOperator::And>;

}  // namespace vrx
