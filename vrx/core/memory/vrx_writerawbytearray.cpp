#include "vrx/core/memory/vrx_writerawbytearray.h"

#include "vrx/core/memory/vrx_writerawbytearrayengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_WriteRawByteArray::engine(VRX_Engine* input, void* memory, uint32_t size,
                                          uint32_t* written) {
    const VRX_Header* header = input ? input->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_WriteRawByteArray::engine()", __FILE__, __LINE__);
        return nullptr;
    }
    VRX_SrcBuffer* src = input->src_buffer();
    return make_engine<VRX_WriteRawByteArrayEngine>(
        src, nullptr, [&](VRX_WriteRawByteArrayEngine* e) {
            return e->initiate(header, src, memory, size, written);
        });
}

}  // namespace vrx
