#include "vrx/core/crop/vrx_cropheightengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_CropHeightEngine::initiate()";

bool is_croppable_raw(const VRX_Header& h) {
    const VRX_DataType* type = h.data_type();
    return h.encode_type()->is_raw() &&
           (type->is_u_integer() || type->is_s_integer() || type->is_floating()) &&
           (h.bits == 1 || h.bits == 8 || h.bits == 16 || h.bits == 32 || h.bits == 64);
}
}  // namespace

bool VRX_CropHeightEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                    VRX_DstBuffer* dst, uint32_t y, uint32_t height) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 97)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (!is_croppable_raw(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 106);
        return false;
    }
    if (y >= header->height || height == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 112);
        return false;
    }
    // Compared as a difference: y + height may wrap.
    if (height > header->height - y) height = header->height - y;
    y_ = y;
    rows_ = height;
    end_ = y + height;
    header_.height = rows_;
    uint32_t bytes = 0;
    if (!header->line_bytes(bytes)) return false;
    const bool src_ok = src->block_bytes(bytes);
    const bool dst_ok = dst->block_bytes(bytes);
    return src_ok && dst_ok;
}

bool VRX_CropHeightEngine::execute() {
    if (row_ >= end_) return false;
    // The block workflow stops a step that writes nothing, so the rows above
    // the rectangle are all passed in the step that writes the first row.
    for (; row_ < y_; ++row_)
        if (!src_buffer_->get() || !src_buffer_->release()) return false;
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    if (!src_buffer_->get(out)) {
        dst_buffer_->release(0);
        return false;
    }
    const bool committed = dst_buffer_->release(dst_buffer_->get_block_bytes());
    ++row_;
    const bool released = src_buffer_->release();
    return committed && released;
}

}  // namespace vrx
