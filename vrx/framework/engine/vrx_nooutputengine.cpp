#include "vrx/framework/engine/vrx_nooutputengine.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

const VRX_Header* VRX_NoOutputEngine::header() {
    manager_->report(VRX_ERROR_STATE, "VRX_NoOutputEngine::header()", __FILE__, __LINE__);
    return nullptr;
}

VRX_SrcBuffer* VRX_NoOutputEngine::src_buffer() {
    manager_->report(VRX_ERROR_STATE, "VRX_NoOutputEngine::src_buffer()", __FILE__, __LINE__);
    return nullptr;
}

VRX_Vector<VRX_Engine*> VRX_NoOutputEngine::branch(uint32_t) {
    manager_->report(VRX_ERROR_STATE, "VRX_NoOutputEngine::branch()", __FILE__, __LINE__);
    return VRX_Vector<VRX_Engine*>(manager_);
}

}  // namespace vrx
