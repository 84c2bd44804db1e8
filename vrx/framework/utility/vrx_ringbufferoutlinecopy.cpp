#include "vrx/framework/utility/vrx_ringbufferoutlinecopy.h"

#include "vrx/framework/base/vrx_construct.h"

namespace vrx {

VRX_RingBufferOutlineCopy* VRX_RingBufferOutlineCopy::create(VRX_Manager* manager,
                                                             VRX_SrcBuffer* src,
                                                             const VRX_Header* header,
                                                             const VRX_KernelAttr& kernel) {
    auto* ring = construct<VRX_RingBufferOutlineCopy>(manager);
    if (!ring) return nullptr;
    if (!ring->initiate(src, header, kernel)) {
        ring->destroy();
        return nullptr;
    }
    ring->set_initiated();
    return ring;
}

bool VRX_RingBufferOutlineCopy::update() {
    const uint32_t last = line_count_ - 1;
    if (lines_delivered_ == 0) {
        if (!fill_line(lines_[0])) return false;
        for (uint32_t k = 1; k <= anchor_line_; ++k) copy_line(lines_[k], lines_[0]);
        for (uint32_t k = anchor_line_ + 1; k <= last; ++k) {
            if (lines_delivered_ < height_) {
                if (!fill_line(lines_[k])) return false;
            } else {
                copy_line(lines_[k], lines_[k - 1]);
            }
        }
        return true;
    }
    unsigned char* first = lines_[0];
    for (uint32_t k = 0; k < last; ++k) lines_[k] = lines_[k + 1];
    lines_[last] = first;
    if (lines_delivered_ < height_) return fill_line(lines_[last]);
    if (last != 0) copy_line(lines_[last], lines_[last - 1]);
    return true;
}

}  // namespace vrx
