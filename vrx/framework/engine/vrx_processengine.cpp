#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

bool VRX_ProcessEngine::terminate() {
    const bool input = VRX_BufferInputEngine::terminate(initiated_);
    const bool output = VRX_BufferOutputEngine::terminate();
    return input && output;
}

bool VRX_ProcessEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) {
    return VRX_BufferOutputEngine::initiate(header, dst) &&
           VRX_BufferInputEngine::initiate(header, src);
}

}  // namespace vrx
