#include "vrx/framework/io/vrx_readengine.h"

#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ReadEngine::initiate(VRX_InputStorage* storage, const VRX_Header* header,
                              VRX_DstBuffer* dst) {
    if (!VRX_BufferOutputEngine::initiate(header, dst)) return false;
    if (!storage || storage->is_closed()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ReadEngine::initiate()", __FILE__, __LINE__);
        return false;
    }
    storage_ = storage;
    return depend(storage);
}

}  // namespace vrx
