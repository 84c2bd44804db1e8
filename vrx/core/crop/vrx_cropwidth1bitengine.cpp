#include "vrx/core/crop/vrx_cropwidth1bitengine.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_CropWidth1BitEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                       VRX_DstBuffer* dst, uint32_t x, uint32_t width) {
    if (!VRX_CropWidthEngine::initiate(header, src, dst, x, width)) return false;
    if (header->bits != 1) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_CropWidth1BitEngine::initiate()", __FILE__,
                         53);
        return false;
    }
    const uint32_t r = static_cast<uint32_t>(uint64_t{header->channels} * width_ % 8);
    if (r != 0) tail_mask_ = static_cast<uint8_t>(0xFFu << (8 - r));
    return true;
}

}  // namespace vrx
