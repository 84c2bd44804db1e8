#include "vrx/extension/readdicomrleframe/vrx_decodepackbitsfast.h"

#include "vrx/extension/readdicomrleframe/vrx_decodepackbitsfastengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

const VRX_EncodeType* VRX_DecodePackBitsFast::encode_type() const {
    return VRX_EncodeType::pack_bits();
}

VRX_Engine* VRX_DecodePackBitsFast::engine(VRX_Engine* source) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DecodePackBitsFast::engine()", __FILE__, 45);
        return nullptr;
    }
    if (header->encode_type()->is_raw()) return source;
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<VRX_DecodePackBitsFastEngine>(
        src, dst, [&](VRX_DecodePackBitsFastEngine* e) { return e->initiate(header, src, dst); });
}

}  // namespace vrx
