#include "vrx/core/memory/vrx_readmemory.h"

#include "vrx/core/memory/vrx_readbytearray.h"
#include "vrx/core/memory/vrx_readmemoryengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ReadMemory::engine(const VRX_Header* header, const void* memory, uint32_t size,
                                   uint32_t* read, VRX_MemoryCallback callback, void* user_data) {
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ReadMemory::engine()", __FILE__, __LINE__);
        return nullptr;
    }
    if (callback == default_memory_callback)
        return VRX_ReadByteArray(manager_).engine(header, memory, size, read);
    // The engine's destination: a proxy bound to the real buffer when the
    // engine is registered.
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<VRX_ReadMemoryEngine>(nullptr, dst, [&](VRX_ReadMemoryEngine* e) {
        return e->initiate(header, dst, memory, size, read, callback, user_data);
    });
}

}  // namespace vrx
