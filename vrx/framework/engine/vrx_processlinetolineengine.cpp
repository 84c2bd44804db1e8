#include "vrx/framework/engine/vrx_processlinetolineengine.h"

#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ProcessLineToLineEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           VRX_DstBuffer* dst) {
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (!header->encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_ProcessLineToLineEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    uint32_t bytes = 0;
    return header->line_bytes(bytes) && src->block_bytes(bytes);
}

bool VRX_ProcessLineToLineEngine::execute() {
    if (line_ >= header_.height) return false;
    const unsigned char* src = src_buffer_->get();
    if (!src) return false;
    unsigned char* dst = dst_buffer_->get();
    if (!dst) {
        src_buffer_->release();
        return false;
    }
    uint32_t bytes = 0;
    bool ok = header_.line_bytes(bytes) && process_line(src, dst);
    const bool committed = dst_buffer_->release(ok ? bytes : 0);
    const bool released = src_buffer_->release();
    ++line_;
    return ok && committed && released;
}

}  // namespace vrx
