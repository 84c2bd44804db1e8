#include "vrx/framework/engine/vrx_bufferinputengine.h"

#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_BufferInputEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src) {
    if (!header || !src || !header->is_valid()) {
        input_manager_->report(VRX_ERROR_ARGUMENT, "VRX_BufferInputEngine::initiate()", __FILE__,
                               __LINE__);
        return false;
    }
    src_buffer_ = src;
    return true;
}

bool VRX_BufferInputEngine::terminate(bool release_source) {
    bool ok = true;
    if (release_source && src_buffer_) ok = src_buffer_->destroy();
    src_buffer_ = nullptr;
    return ok;
}

}  // namespace vrx
