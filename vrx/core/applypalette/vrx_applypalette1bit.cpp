#include "vrx/core/applypalette/vrx_applypalette1bit.h"

#include "vrx/core/applypalette/vrx_applypalette1bitengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ApplyPalette1Bit::engine(VRX_Engine* source) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ApplyPalette1Bit::engine()", __FILE__, 50);
        return nullptr;
    }
    if (header->palette().empty()) return source;
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    auto initiate = [&](auto* e) { return e->initiate(header, src, dst); };
    if (header->palette().bits == 8)
        return make_engine<VRX_ApplyPalette1BitEngine<uint8_t>>(src, dst, initiate);
    return make_engine<VRX_ApplyPalette1BitEngine<uint16_t>>(src, dst, initiate);
}

}  // namespace vrx
