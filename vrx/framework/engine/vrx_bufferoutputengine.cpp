#include "vrx/framework/engine/vrx_bufferoutputengine.h"

#include "vrx/framework/buffer/vrx_dstbufferimpl.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_nop.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_BufferOutputEngine::VRX_BufferOutputEngine(VRX_Manager* manager)
    : VRX_Engine(manager), header_(manager) {}

bool VRX_BufferOutputEngine::destroy() {
    if (auto* own = dynamic_cast<VRX_DstBufferImpl*>(dst_buffer_)) own->producer_end();
    return VRX_Engine::destroy();
}

bool VRX_BufferOutputEngine::terminate() {
    bool ok = true;
    if (initiated_ && dst_buffer_) ok = dst_buffer_->destroy();
    dst_buffer_ = nullptr;
    return ok;
}

VRX_SrcBuffer* VRX_BufferOutputEngine::src_buffer() {
    if (!dst_buffer_) {
        manager_->report(VRX_ERROR_STATE, "VRX_BufferOutputEngine::src_buffer()", __FILE__,
                         __LINE__);
        return nullptr;
    }
    return dst_buffer_->make_src_buffer();
}

VRX_Vector<VRX_Engine*> VRX_BufferOutputEngine::branch(uint32_t count) {
    VRX_Vector<VRX_Engine*> engines(manager_);
    if (!dst_buffer_) {
        manager_->report(VRX_ERROR_STATE, "VRX_BufferOutputEngine::branch()", __FILE__, __LINE__);
        return engines;
    }
    VRX_Vector<VRX_SrcBuffer*> sources = dst_buffer_->make_src_buffers(count);
    bool ok = sources.size() >= count && engines.reserve(sources.size());
    VRX_Nop nop(manager_);
    for (VRX_SrcBuffer* source : sources) {
        if (!ok) {
            source->destroy();
            continue;
        }
        VRX_Engine* engine = nop.engine(&header_, source);  // takes the source in any case
        ok = engine != nullptr && engines.push_back(engine);
        if (engine && !ok) engine->destroy();
    }
    if (!ok) {
        // Pass-through engines already made would only run idle: end them now.
        for (VRX_Engine* engine : engines) engine->destroy();
        engines.clear();
    }
    return engines;
}

bool VRX_BufferOutputEngine::initiate(const VRX_Header* header, VRX_DstBuffer* dst) {
    if (!is_good()) return false;
    if (!header || !dst) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_BufferOutputEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    if (!header_.assign(*header)) return false;
    dst_buffer_ = dst;
    return true;
}

}  // namespace vrx
