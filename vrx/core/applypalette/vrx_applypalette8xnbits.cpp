#include "vrx/core/applypalette/vrx_applypalette8xnbits.h"

#include "vrx/core/applypalette/vrx_applypalette8xnbitsengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ApplyPalette8xNBits::engine(VRX_Engine* source) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ApplyPalette8xNBits::engine()", __FILE__, 51);
        return nullptr;
    }
    if (header->palette().empty()) return source;
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    auto initiate = [&](auto* e) { return e->initiate(header, src, dst); };
    const bool byte_index = header->bits == 8;
    const bool byte_entry = header->palette().bits == 8;
    if (byte_index && byte_entry)
        return make_engine<VRX_ApplyPalette8xNBitsEngine<uint8_t, uint8_t>>(src, dst, initiate);
    if (byte_index)
        return make_engine<VRX_ApplyPalette8xNBitsEngine<uint8_t, uint16_t>>(src, dst, initiate);
    if (byte_entry)
        return make_engine<VRX_ApplyPalette8xNBitsEngine<uint16_t, uint8_t>>(src, dst, initiate);
    return make_engine<VRX_ApplyPalette8xNBitsEngine<uint16_t, uint16_t>>(src, dst, initiate);
}

}  // namespace vrx
