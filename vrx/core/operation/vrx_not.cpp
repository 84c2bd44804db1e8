#include "vrx/core/operation/vrx_not.h"

#include "vrx/core/operation/vrx_notqmrle.h"
#include "vrx/core/operation/vrx_opnotengine.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_Not::engine(VRX_Engine* source) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_Not::engine()", __FILE__, 47);
        return nullptr;
    }
    if (header->encode_type() == VRX_EncodeType::qm_rle())
        return VRX_NotQMRLE(manager_).engine(source);
    // Other lines that are not raw are refused by the line engine's initiate.
    VRX_SrcBuffer* src = source->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<VRX_OpNotEngine>(src, dst,
                                        [&](auto* e) { return e->initiate(header, src, dst); });
}

}  // namespace vrx
