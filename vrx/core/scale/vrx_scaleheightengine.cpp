#include "vrx/core/scale/vrx_scaleheightengine.h"

#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ScaleHeightEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                     VRX_DstBuffer* dst, uint32_t height) {
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (height == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ScaleHeightEngine::initiate()", __FILE__, 58);
        return false;
    }
    header_.height = height;
    src_height_ = header->height;
    dst_height_ = height;
    if (!header->line_bytes(line_bytes_)) return false;
    ratio_ = static_cast<double>(src_height_) / static_cast<double>(dst_height_);
    return src->block_bytes(line_bytes_) && dst->block_bytes(line_bytes_);
}

}  // namespace vrx
