#include "vrx/framework/engine/vrx_rewriteheaderengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_RewriteHeaderEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                       VRX_DstBuffer* dst, const VRX_Header* new_header) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_RewriteHeaderEngine::initiate()", __FILE__,
                       __LINE__))
        return false;
    if (!VRX_NopEngine::initiate(header, src, dst)) return false;
    if (!new_header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_RewriteHeaderEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    if (new_header->encode_type()->is_raw()) {
        uint32_t bytes = 0;
        if (!new_header->line_bytes(bytes) || !src->block_bytes(bytes) || !dst->block_bytes(bytes))
            return false;
    }
    return header_.assign(*new_header);
}

}  // namespace vrx
