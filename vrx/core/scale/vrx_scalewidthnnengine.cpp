#include "vrx/core/scale/vrx_scalewidthnnengine.h"

#include "vrx/core/scale/vrx_nnsampling.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

bool VRX_ScaleWidthNNEngine::terminate() {
    if (table_) manager_->deallocate(table_);
    table_ = nullptr;
    return VRX_ScaleWidthEngine::terminate();
}

bool VRX_ScaleWidthNNEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                      VRX_DstBuffer* dst, uint32_t width) {
    constexpr const char* text = "VRX_ScaleWidthNNEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 138)) return false;
    if (!VRX_ScaleWidthEngine::initiate(header, src, dst, width)) return false;
    if (!is_nn_input(*header)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 147);
        return false;
    }
    bits_ = header->bits;
    pixel_bytes_ = (uint32_t{header->bits} * header->channels + 7) / 8;
    table_ = allocate_table(manager_, width);
    if (!table_) return false;
    fill_nn_table(table_, width, src_width_, pixel_bytes_);
    return true;
}

bool VRX_ScaleWidthNNEngine::execute() {
    const unsigned char* line = src_buffer_->get();
    if (!line) return false;
    unsigned char* out = dst_buffer_->get();
    if (!out) {
        src_buffer_->release();
        return false;
    }
    if (bits_ == 1)
        gather_bits(line, table_, dst_width_, out);
    else
        gather_pixels<1>(line, table_, dst_width_, pixel_bytes_, out);
    const bool released = src_buffer_->release();
    const bool committed = dst_buffer_->release(dst_line_bytes_);
    return released && committed;
}

}  // namespace vrx
