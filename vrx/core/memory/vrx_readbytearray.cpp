#include "vrx/core/memory/vrx_readbytearray.h"

#include "vrx/core/memory/vrx_bytearraydstbuffer.h"
#include "vrx/core/memory/vrx_readbytearrayengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ReadByteArray::engine(const VRX_Header* header, const void* memory, uint32_t size,
                                      uint32_t* read) {
    auto* buffer = construct<VRX_ByteArrayDstBuffer>(manager_);
    if (!buffer) return nullptr;
    if (!buffer->initiate(header, memory, size, read)) {
        buffer->destroy();
        return nullptr;
    }
    buffer->set_initiated();
    return make_engine<VRX_ReadByteArrayEngine>(
        nullptr, buffer, [&](VRX_ReadByteArrayEngine* e) { return e->initiate(header, buffer); });
}

}  // namespace vrx
