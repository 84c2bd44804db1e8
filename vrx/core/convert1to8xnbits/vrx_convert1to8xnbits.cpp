#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbits.h"

#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbitsengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_Convert1To8xNBits::engine(VRX_Engine* source, const VRX_DataType* type,
                                          uint16_t bits, int32_t zero, int32_t one) {
    constexpr const char* text = "VRX_Convert1To8xNBits::engine()";
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 50);
        return nullptr;
    }
    uint32_t refused = 0;
    if (type == VRX_DataType::u_integer()) {
        if (bits != 8 && bits != 16) refused = 68;
    } else if (type == VRX_DataType::s_integer()) {
        if (bits != 8 && bits != 16) refused = 78;
    } else {
        refused = 81;
    }
    if (refused != 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, refused);
        return nullptr;
    }
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    auto initiate = [&](auto* e) { return e->initiate(header, src, dst, type, bits, zero, one); };
    const bool u = type == VRX_DataType::u_integer();
    if (bits == 8) {
        if (u) return make_engine<VRX_Convert1To8xNBitsEngine<uint8_t>>(src, dst, initiate);
        return make_engine<VRX_Convert1To8xNBitsEngine<int8_t>>(src, dst, initiate);
    }
    if (u) return make_engine<VRX_Convert1To8xNBitsEngine<uint16_t>>(src, dst, initiate);
    return make_engine<VRX_Convert1To8xNBitsEngine<int16_t>>(src, dst, initiate);
}

}  // namespace vrx
