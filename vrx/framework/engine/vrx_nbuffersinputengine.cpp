#include "vrx/framework/engine/vrx_nbuffersinputengine.h"

#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_NBuffersInputEngine::VRX_NBuffersInputEngine(VRX_Manager* manager)
    : inputs_manager_(manager), headers_(manager), src_buffers_(manager) {}

VRX_NBuffersInputEngine::~VRX_NBuffersInputEngine() {
    for (VRX_Header* header : headers_) vrx::destroy(header);
}

bool VRX_NBuffersInputEngine::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                       const VRX_Vector<VRX_SrcBuffer*>& sources) {
    auto refuse = [this] {
        inputs_manager_->report(VRX_ERROR_ARGUMENT, "VRX_NBuffersInputEngine::initiate()", __FILE__,
                                __LINE__);
        return false;
    };
    if (headers.empty() || headers.size() != sources.size()) return refuse();
    for (const VRX_Header* header : headers)
        if (!header) return refuse();
    for (const VRX_Header* header : headers) {
        VRX_Header* copy = VRX_Header::create(inputs_manager_, *header);
        if (!copy) return false;
        if (!headers_.push_back(copy)) {
            copy->destroy();
            return false;
        }
    }
    for (VRX_SrcBuffer* source : sources)
        if (!source) return refuse();
    if (!src_buffers_.assign(sources)) return false;
    for (const VRX_Header* copy : headers_)
        if (!copy->is_valid()) return refuse();
    return true;
}

bool VRX_NBuffersInputEngine::terminate(bool release_sources) {
    bool ok = true;
    for (VRX_Header* header : headers_) ok = vrx::destroy(header) && ok;
    headers_.clear();
    if (release_sources)
        for (VRX_SrcBuffer* source : src_buffers_) ok = vrx::destroy(source) && ok;
    src_buffers_.clear();
    return ok;
}

const VRX_Header* VRX_NBuffersInputEngine::header(size_t i) const {
    return i < headers_.size() ? headers_.data()[i] : nullptr;
}

VRX_SrcBuffer* VRX_NBuffersInputEngine::src_buffer(size_t i) const {
    return i < src_buffers_.size() ? src_buffers_.data()[i] : nullptr;
}

}  // namespace vrx
