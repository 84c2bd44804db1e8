#include "vrx/framework/engine/vrx_nopengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

bool VRX_NopEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_NopEngine::initiate()", __FILE__, __LINE__))
        return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    return dst->block_bytes(src->get_block_bytes());
}

bool VRX_NopEngine::execute() {
    unsigned char* block = dst_buffer_->get();
    if (!block) return false;
    uint32_t count = 0;
    bool ok = src_buffer_->get(block, &count);
    if (ok) ok = src_buffer_->release();
    const bool committed = dst_buffer_->release(ok ? count : 0);
    return ok && committed;
}

}  // namespace vrx
