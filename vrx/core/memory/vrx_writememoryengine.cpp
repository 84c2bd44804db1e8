#include "vrx/core/memory/vrx_writememoryengine.h"

#include "vrx/core/memory/vrx_memorylayout.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_WriteMemoryEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src, void* memory,
                                     uint32_t size, uint32_t* written, VRX_MemoryCallback callback,
                                     void* user_data) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_WriteMemoryEngine::initiate()", __FILE__,
                       __LINE__))
        return false;
    if (!is_good() || !VRX_BufferInputEngine::initiate(header, src)) return false;
    if (!memory || size == 0 || !callback) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_WriteMemoryEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    memory_.start(&info_, static_cast<unsigned char*>(memory), size, written, callback, user_data);
    height_ = header->height;
    raw_ = header->encode_type()->is_raw();
    mask_ = memory_last_byte_mask(*header);
    uint32_t step = 0;
    return memory_step_bytes(manager_, *header, step) && src->block_bytes(step);
}

bool VRX_WriteMemoryEngine::execute() {
    if (!memory_.good()) return false;
    if (raw_ && lines_written_ >= height_) return false;
    uint32_t n = 0;
    const unsigned char* block = src_buffer_->get(&n);
    if (!block) return false;
    uint32_t moved = 0;
    if (memory_.put(block, n, moved) != VRX_MemoryBlockChain::Outcome::done) {
        manager_->report(VRX_ERROR_IO, "VRX_WriteMemoryEngine::execute()", __FILE__, __LINE__);
        return false;
    }
    // The padding bits of a 1-bit line are written as 0.
    if (mask_ != 0xFF && n != 0) memory_.position()[-1] &= mask_;
    ++lines_written_;
    return src_buffer_->release();
}

}  // namespace vrx
