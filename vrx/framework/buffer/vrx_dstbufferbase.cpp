#include "vrx/framework/buffer/vrx_dstbufferbase.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_DstBufferBase::initiate() {
    state_ = state_closed;
    return true;
}

bool VRX_DstBufferBase::initiate(uint32_t capacity) {
    if (capacity == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DstBufferBase::initiate()", __FILE__, __LINE__);
        return false;
    }
    capacity_ = capacity;
    return true;
}

bool VRX_DstBufferBase::block_bytes(uint32_t bytes) {
    if (state_ != state_new) {
        manager_->report(VRX_ERROR_STATE, "VRX_DstBufferBase::block_bytes()", __FILE__, __LINE__);
        return false;
    }
    if (bytes == 0 || bytes > capacity_) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DstBufferBase::block_bytes()", __FILE__,
                         __LINE__);
        return false;
    }
    block_bytes_ = bytes;
    return true;
}

bool VRX_DstBufferBase::src_block_bytes(uint32_t bytes) {
    if (bytes == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DstBufferBase::src_block_bytes()", __FILE__,
                         __LINE__);
        return false;
    }
    src_block_bytes_ = bytes;
    // A block out for writing stays out; the buffer is ready once it comes back.
    if (state_ < state_ready) state_ = state_ready;
    return true;
}

}  // namespace vrx
