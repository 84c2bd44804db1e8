#include "vrx/framework/engine/vrx_rewriteheader.h"

#include "vrx/framework/engine/vrx_rewriteheaderengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_RewriteHeader::engine(VRX_Engine* input, const VRX_Header* new_header) {
    if (!input) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_RewriteHeader::engine()", __FILE__, __LINE__);
        return nullptr;
    }
    VRX_SrcBuffer* src = input->src_buffer();
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    const VRX_Header* header = input->header();
    return make_engine<VRX_RewriteHeaderEngine>(src, dst, [&](VRX_RewriteHeaderEngine* e) {
        return e->initiate(header, src, dst, new_header);
    });
}

}  // namespace vrx
