#include "vrx/core/scale/vrx_scaleheightnnengine.h"

#include <cstring>

#include "vrx/core/scale/vrx_nnsampling.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

bool VRX_ScaleHeightNNEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                       VRX_DstBuffer* dst, uint32_t height) {
    constexpr const char* text = "VRX_ScaleHeightNNEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 111)) return false;
    if (!VRX_ScaleHeightEngine::initiate(header, src, dst, height)) return false;
    if (!is_nn_input(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 120);
        return false;
    }
    position_ = ratio_ * 0.5;
    return true;
}

bool VRX_ScaleHeightNNEngine::execute() {
    if (produced_ >= dst_height_) return false;
    ++produced_;
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    const uint32_t last = src_height_ - 1;
    const uint32_t k = nn_index(position_, last);
    bool ok = true;
    if (src_height_ > dst_height_) {
        // Shrinking: the lines before k are dropped unread.
        for (; ok && consumed_ < k; ++consumed_) ok = src_buffer_->get() && src_buffer_->release();
        ok = ok && src_buffer_->get(out) && src_buffer_->release();
        ++consumed_;
    } else {
        // Enlarging: k advances by at most one line per call.
        const uint32_t next_k = nn_index(position_ + ratio_, last);
        if (consumed_ > k) {
            ok = held_ != nullptr;
            if (ok) std::memcpy(out, held_, line_bytes_);
            if (ok && consumed_ <= next_k) {
                held_ = nullptr;
                ok = src_buffer_->release();
            }
        } else if (consumed_ + 1 > next_k) {
            held_ = src_buffer_->get();
            ok = held_ != nullptr;
            if (ok) std::memcpy(out, held_, line_bytes_);
            ++consumed_;
        } else {
            ok = src_buffer_->get(out) && src_buffer_->release();
            ++consumed_;
        }
    }
    const bool committed = dst_buffer_->release(ok ? line_bytes_ : 0);
    position_ += ratio_;
    return ok && committed;
}

}  // namespace vrx
