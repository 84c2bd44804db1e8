#include "vrx/framework/buffer/vrx_srcbufferimpl.h"

#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_SrcBufferImpl::terminate() { return dst_buffer_ ? dst_buffer_->src_end(this) : true; }

uint32_t VRX_SrcBufferImpl::get_block_bytes() {
    return dst_buffer_ ? dst_buffer_->get_src_block_bytes() : 0;
}

bool VRX_SrcBufferImpl::initiate(VRX_DstBuffer* dst) {
    if (!dst) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_SrcBufferImpl::initiate()", __FILE__, __LINE__);
        return false;
    }
    dst_buffer_ = dst;
    const uint32_t bytes = dst->get_block_bytes();
    if (bytes != 0 && !dst->src_block_bytes(bytes)) return false;
    return depend(dst);
}

bool VRX_SrcBufferImpl::block_bytes(uint32_t bytes) {
    if (gets_ != 0) {
        manager_->report(VRX_ERROR_STATE, "VRX_SrcBufferImpl::block_bytes()", __FILE__, __LINE__);
        return false;
    }
    if (bytes == 0 || !dst_buffer_) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_SrcBufferImpl::block_bytes()", __FILE__,
                         __LINE__);
        return false;
    }
    return dst_buffer_->src_block_bytes(bytes);
}

bool VRX_SrcBufferImpl::advance(uint32_t count, uint32_t* count_out) {
    position_ += count;
    if (count_out) {
        *count_out = count;
    } else if (count < get_block_bytes()) {
        dst_buffer_->src_release(this, position_);
        return false;
    }
    ++gets_;
    return true;
}

const unsigned char* VRX_SrcBufferImpl::get(uint32_t* count) {
    if (count) *count = 0;
    if (!dst_buffer_) return nullptr;
    uint32_t n = 0;
    const unsigned char* bytes = dst_buffer_->src_get(position_, n);
    if (!bytes) return nullptr;
    return advance(n, count) ? bytes : nullptr;
}

bool VRX_SrcBufferImpl::get(void* memory, uint32_t* count) {
    if (count) *count = 0;
    if (!memory) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_SrcBufferImpl::get()", __FILE__, __LINE__);
        return false;
    }
    if (!dst_buffer_) return false;
    uint32_t n = 0;
    if (!dst_buffer_->read(memory, position_, n)) return false;
    return advance(n, count);
}

bool VRX_SrcBufferImpl::release() {
    if (releases_ >= gets_) {
        manager_->report(VRX_ERROR_STATE, "VRX_SrcBufferImpl::release()", __FILE__, __LINE__);
        return false;
    }
    ++releases_;
    const uint64_t position = uint64_t{get_block_bytes()} * releases_;
    return dst_buffer_->src_release(
        this, position > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(position));
}

}  // namespace vrx
