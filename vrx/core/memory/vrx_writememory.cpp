#include "vrx/core/memory/vrx_writememory.h"

#include "vrx/core/memory/vrx_writememoryengine.h"
#include "vrx/core/memory/vrx_writerawbytearray.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_WriteMemory::engine(VRX_Engine* input, void* memory, uint32_t size,
                                    uint32_t* written, VRX_MemoryCallback callback,
                                    void* user_data) {
    const VRX_Header* header = input ? input->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_WriteMemory::engine()", __FILE__, __LINE__);
        return nullptr;
    }
    if (callback == default_memory_callback && header->encode_type()->is_raw())
        return VRX_WriteRawByteArray(manager_).engine(input, memory, size, written);
    VRX_SrcBuffer* src = input->src_buffer();
    return make_engine<VRX_WriteMemoryEngine>(src, nullptr, [&](VRX_WriteMemoryEngine* e) {
        return e->initiate(header, src, memory, size, written, callback, user_data);
    });
}

}  // namespace vrx
