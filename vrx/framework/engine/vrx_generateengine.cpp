#include "vrx/framework/engine/vrx_generateengine.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_GenerateEngine::initiate(const VRX_Header* header, VRX_DstBuffer* dst) {
    if (!VRX_BufferOutputEngine::initiate(header, dst)) return false;
    if (!header->is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_GenerateEngine::initiate()", __FILE__, __LINE__);
        return false;
    }
    return true;
}

}  // namespace vrx
