#include "vrx/core/memory/vrx_readbytearrayengine.h"

#include "vrx/core/memory/vrx_memorylayout.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ReadByteArrayEngine::initiate(const VRX_Header* header, VRX_DstBuffer* dst) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_ReadByteArrayEngine::initiate()", __FILE__,
                       __LINE__))
        return false;
    if (!VRX_BufferOutputEngine::initiate(header, dst)) return false;
    uint32_t step = 0;
    return memory_step_bytes(manager_, *header, step) && dst->block_bytes(step);
}

bool VRX_ReadByteArrayEngine::execute() {
    manager_->report(VRX_ERROR_STATE, "VRX_ReadByteArrayEngine::execute()", __FILE__, __LINE__);
    return false;
}

}  // namespace vrx
