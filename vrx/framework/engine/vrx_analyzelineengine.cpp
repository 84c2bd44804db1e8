#include "vrx/framework/engine/vrx_analyzelineengine.h"

#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_AnalyzeLineEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src) {
    if (!is_good()) return false;
    if (!VRX_BufferInputEngine::initiate(header, src)) return false;
    if (!header->encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_AnalyzeLineEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    height_ = header->height;
    uint32_t bytes = 0;
    return header->line_bytes(bytes) && src->block_bytes(bytes);
}

bool VRX_AnalyzeLineEngine::execute() {
    if (line_ >= height_) return false;
    const unsigned char* src = src_buffer_->get();
    if (!src) return false;
    const bool ok = analyze_line(src);
    const bool released = src_buffer_->release();
    ++line_;
    return ok && released;
}

}  // namespace vrx
