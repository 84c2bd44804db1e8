#include "vrx/framework/engine/vrx_multiinputprocessengine.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_MultiInputProcessEngine::terminate() {
    const bool input = VRX_NBuffersInputEngine::terminate(initiated_);
    const bool output = VRX_BufferOutputEngine::terminate();
    return input && output;
}

bool VRX_MultiInputProcessEngine::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                           const VRX_Vector<VRX_SrcBuffer*>& sources,
                                           VRX_DstBuffer* dst) {
    if (headers.empty()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_MultiInputProcessEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    return VRX_BufferOutputEngine::initiate(headers.data()[0], dst) &&
           VRX_NBuffersInputEngine::initiate(headers, sources);
}

}  // namespace vrx
