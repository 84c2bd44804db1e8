#include "vrx/core/scale/vrx_scaleshrinknnengine.h"

#include "vrx/framework/base/vrx_version.h"

namespace vrx {

bool VRX_ScaleShrinkNNEngineBase::terminate() {
    if (table_) manager_->deallocate(table_);
    table_ = nullptr;
    return VRX_ProcessEngine::terminate();
}

bool VRX_ScaleShrinkNNEngineBase::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           VRX_DstBuffer* dst, uint32_t width, uint32_t height) {
    constexpr const char* text = "VRX_ScaleShrinkNNEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 276)) return false;
    if (!VRX_ProcessEngine::initiate(header, src, dst)) return false;
    if (!is_nn_input(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 286);
        return false;
    }
    if (width == 0 || height == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, text, __FILE__, 293);
        return false;
    }
    header_.width = width;
    header_.height = height;
    bits_ = header->bits;
    dst_width_ = width;
    dst_height_ = height;
    channels_ = header->channels;
    src_height_ = header->height;
    row_ratio_ = static_cast<double>(header->height) / static_cast<double>(height);
    row_position_ = row_ratio_ * 0.5;
    table_ = allocate_table(manager_, width);
    if (!table_) return false;
    fill_nn_table(table_, width, header->width, channels_);
    uint32_t src_bytes = 0;
    if (!header->line_bytes(src_bytes) || !header_.line_bytes(dst_line_bytes_)) return false;
    const bool src_ok = src->block_bytes(src_bytes);
    const bool dst_ok = dst->block_bytes(dst_line_bytes_);
    return src_ok && dst_ok;
}

bool VRX_ScaleShrinkNNEngineBase::begin_line(const unsigned char*& line, unsigned char*& out) {
    if (produced_ >= dst_height_) return false;
    ++produced_;
    const uint32_t wanted = nn_index(row_position_, src_height_ - 1);
    for (; consumed_ < wanted; ++consumed_)
        if (!src_buffer_->get() || !src_buffer_->release()) return false;
    line = src_buffer_->get();
    if (!line) return false;
    out = dst_buffer_->get();
    if (out) return true;
    src_buffer_->release();
    return false;
}

bool VRX_ScaleShrinkNNEngineBase::end_line() {
    const bool released = src_buffer_->release();
    ++consumed_;
    const bool committed = dst_buffer_->release(dst_line_bytes_);
    row_position_ += row_ratio_;
    return released && committed;
}

}  // namespace vrx
