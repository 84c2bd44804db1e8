#include "vrx/core/scale/vrx_scalewidthengine.h"

#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ScaleWidthEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                    VRX_DstBuffer* dst, uint32_t width) {
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (width == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ScaleWidthEngine::initiate()", __FILE__, 56);
        return false;
    }
    header_.width = width;
    src_width_ = header->width;
    dst_width_ = width;
    channels_ = header->channels;
    if (!header->line_bytes(src_line_bytes_) || !header_.line_bytes(dst_line_bytes_)) return false;
    const bool src_ok = src->block_bytes(src_line_bytes_);
    const bool dst_ok = dst->block_bytes(dst_line_bytes_);
    return src_ok && dst_ok;
}

}  // namespace vrx
