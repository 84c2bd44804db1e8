#include "vrx/framework/engine/vrx_bufferinputengine.h"

#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_BufferInputEngine::initiate()";
}

bool VRX_BufferInputEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src) {
    if (!header || !src) {
        input_manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 52);
        return false;
    }
    if (!header->is_valid()) {
        input_manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 58);
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
