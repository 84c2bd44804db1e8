#include "vrx/core/memory/vrx_readmemoryengine.h"

#include "vrx/core/memory/vrx_memorylayout.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ReadMemoryEngine::initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                                    const void* memory, uint32_t size, uint32_t* read,
                                    VRX_MemoryCallback callback, void* user_data) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_ReadMemoryEngine::initiate()", __FILE__,
                       __LINE__))
        return false;
    if (!VRX_BufferOutputEngine::initiate(header, dst)) return false;
    if (!memory || size == 0 || !callback) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ReadMemoryEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    // Only read through: the callback information carries one pointer type.
    memory_.start(&info_, static_cast<unsigned char*>(const_cast<void*>(memory)), size, read,
                  callback, user_data);
    uint32_t step = 0;
    return memory_step_bytes(manager_, *header, step) && dst->block_bytes(step);
}

bool VRX_ReadMemoryEngine::execute() {
    if (!memory_.good()) return false;
    const bool raw = header_.encode_type()->is_raw();
    if (raw && lines_read_ >= header_.height) return false;
    const uint32_t n = dst_buffer_->get_block_bytes();
    unsigned char* block = dst_buffer_->get();
    if (!block) return false;
    uint32_t moved = 0;
    const VRX_MemoryBlockChain::Outcome outcome = memory_.take(block, n, moved);
    if (outcome == VRX_MemoryBlockChain::Outcome::done) {
        ++lines_read_;
        return dst_buffer_->release(n);
    }
    if (outcome == VRX_MemoryBlockChain::Outcome::refused && !raw) {
        // The end of an encoded stream: what was filled is its last block.
        return dst_buffer_->release(moved) && moved != 0;
    }
    manager_->report(VRX_ERROR_DATA, "VRX_ReadMemoryEngine::execute()", __FILE__, __LINE__);
    dst_buffer_->release(0);
    return false;
}

}  // namespace vrx
