#include "vrx/core/scale/vrx_scaleheightnnqmrleengine.h"

#include "vrx/core/qmrle/vrx_qmrlebuffer.h"
#include "vrx/core/scale/vrx_nnsampling.h"
#include "vrx/framework/base/vrx_version.h"

namespace vrx {

bool VRX_ScaleHeightNNQMRLEEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst, uint32_t height) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_ScaleHeightNNQMRLEEngine::initiate()", __FILE__,
                       89))
        return false;
    if (!VRX_ScaleHeightQMRLEEngine::initiate(header, src, dst, height)) return false;
    position_ = ratio_ * 0.5;
    return true;
}

bool VRX_ScaleHeightNNQMRLEEngine::execute() {
    if (produced_ >= dst_height_) return false;
    // Every source line is held by the buffer, so a line needed again is
    // simply viewed again.
    next_ = nn_index(position_, src_height_ - 1);
    const VRX_QMRLERunLine line = buffer_->line_begin(next_);
    ++produced_;
    position_ += ratio_;
    return line.write_runarray(dst_buffer_);
}

}  // namespace vrx
