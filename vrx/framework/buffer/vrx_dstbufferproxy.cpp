#include "vrx/framework/buffer/vrx_dstbufferproxy.h"

#include "vrx/framework/buffer/vrx_dstbufferbase.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_DstBufferProxy::need_target(const char* function) {
    if (target_) return true;
    manager_->report(VRX_ERROR_STATE, function, __FILE__, __LINE__);
    return false;
}

bool VRX_DstBufferProxy::destroy() {
    if (target_) target_->initiate();
    return VRX_DstBufferImpl::destroy();
}

bool VRX_DstBufferProxy::terminate() {
    VRX_DstBufferBase* target = target_;
    target_ = nullptr;
    return target ? target->destroy() : true;
}

uint32_t VRX_DstBufferProxy::get_block_bytes() {
    return target_ ? target_->get_block_bytes() : block_bytes_;
}

bool VRX_DstBufferProxy::block_bytes(uint32_t bytes) {
    if (target_) return target_->block_bytes(bytes);
    if (bytes == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_DstBufferProxy::block_bytes()", __FILE__, 80);
        return false;
    }
    block_bytes_ = bytes;
    return true;
}

unsigned char* VRX_DstBufferProxy::get() {
    return need_target("VRX_DstBufferProxy::get()") ? target_->get() : nullptr;
}

bool VRX_DstBufferProxy::release(uint32_t bytes) {
    return need_target("VRX_DstBufferProxy::release()") && target_->release(bytes);
}

uint32_t VRX_DstBufferProxy::get_src_block_bytes() {
    return need_target("VRX_DstBufferProxy::get_src_block_bytes()") ? target_->get_src_block_bytes()
                                                                    : 0;
}

bool VRX_DstBufferProxy::src_block_bytes(uint32_t bytes) {
    return need_target("VRX_DstBufferProxy::src_block_bytes()") && target_->src_block_bytes(bytes);
}

bool VRX_DstBufferProxy::read(void* memory, uint32_t position, uint32_t& count) {
    count = 0;
    return need_target("VRX_DstBufferProxy::read()") && target_->read(memory, position, count);
}

const unsigned char* VRX_DstBufferProxy::src_get(uint32_t position, uint32_t& count) {
    count = 0;
    return need_target("VRX_DstBufferProxy::src_get()") ? target_->src_get(position, count)
                                                        : nullptr;
}

bool VRX_DstBufferProxy::src_release(VRX_SrcBuffer* reader, uint32_t position) {
    return need_target("VRX_DstBufferProxy::src_release()") &&
           target_->src_release(reader, position);
}

bool VRX_DstBufferProxy::src_end(VRX_SrcBuffer* reader) {
    return need_target("VRX_DstBufferProxy::src_end()") && target_->src_end(reader);
}

void VRX_DstBufferProxy::producer_end() {
    if (target_) target_->producer_end();
}

VRX_Vector<VRX_SrcBuffer*> VRX_DstBufferProxy::make_src_buffers(uint32_t count) {
    if (!need_target("VRX_DstBufferProxy::make_src_buffers()"))
        return VRX_Vector<VRX_SrcBuffer*>(manager_);
    return target_->create_src_buffers(this, count);
}

VRX_SrcBuffer* VRX_DstBufferProxy::make_src_buffer() {
    return need_target("VRX_DstBufferProxy::make_src_buffer()") ? target_->create_src_buffer(this)
                                                                : nullptr;
}

bool VRX_DstBufferProxy::initiate(uint32_t capacity) {
    return need_target("VRX_DstBufferProxy::initiate()") && target_->initiate(capacity);
}

bool VRX_DstBufferProxy::set_target(VRX_DstBufferBase* target) {
    if (!target) return false;
    if (!target->block_bytes(block_bytes_)) return false;
    target->owner(this);
    target_ = target;
    return true;
}

}  // namespace vrx
