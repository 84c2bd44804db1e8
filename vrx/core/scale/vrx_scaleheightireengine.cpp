#include "vrx/core/scale/vrx_scaleheightireengine.h"

#include <cstring>

#include "platform/byte_count.h"
#include "vrx/core/scale/vrx_nnsampling.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

bool VRX_ScaleHeightIREEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                        VRX_DstBuffer* dst, uint32_t factor) {
    constexpr const char* text = "VRX_ScaleHeightIREEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 91)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (factor == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 100);
        return false;
    }
    if (!is_nn_input(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 106);
        return false;
    }
    if (!header->line_bytes(line_bytes_)) return false;
    const platform::ByteCount height = platform::ByteCount(header->height) * factor;
    const platform::ByteCount block = platform::ByteCount(line_bytes_) * factor;
    if (!height.fits<uint32_t>() || !block.fits<uint32_t>()) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, __LINE__);
        return false;
    }
    factor_ = factor;
    dst_height_ = static_cast<uint32_t>(height.value());
    header_.height = dst_height_;
    // The source block is one line whatever block the producer writes: the
    // line is copied into the first line of the destination block.
    return src->block_bytes(line_bytes_) && dst->block_bytes(static_cast<uint32_t>(block.value()));
}

bool VRX_ScaleHeightIREEngine::execute() {
    if (produced_ >= dst_height_) return false;
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    if (!src_buffer_->get(out)) {
        dst_buffer_->release(0);
        return false;
    }
    const bool released = src_buffer_->release();
    for (uint32_t k = 1; k < factor_; ++k)
        std::memcpy(out + size_t{k} * line_bytes_, out, line_bytes_);
    produced_ += factor_;
    return dst_buffer_->release(dst_buffer_->get_block_bytes()) && released;
}

}  // namespace vrx
