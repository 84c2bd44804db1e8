#include "vrx/framework/engine/vrx_nop.h"

#include "vrx/framework/engine/vrx_nopengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_Nop::engine(const VRX_Header* header, VRX_SrcBuffer* src) {
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<VRX_NopEngine>(
        src, dst, [&](VRX_NopEngine* e) { return e->initiate(header, src, dst); });
}

}  // namespace vrx
