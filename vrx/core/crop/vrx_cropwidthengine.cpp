#include "vrx/core/crop/vrx_cropwidthengine.h"

#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_CropWidthEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                                   uint32_t x, uint32_t width) {
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    if (x >= header->width || width == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_CropWidthEngine::initiate()", __FILE__, 56);
        return false;
    }
    // Compared as a difference: x + width may wrap.
    if (width > header->width - x) width = header->width - x;
    x_ = x;
    width_ = width;
    header_.width = width;
    if (!header_.line_bytes(out_bytes_)) return false;
    // Below the source line's size, which fits 32 bits.
    offset_ = static_cast<uint32_t>(uint64_t{header->channels} * header->bits * x / 8);
    return dst->block_bytes(out_bytes_);
}

}  // namespace vrx
