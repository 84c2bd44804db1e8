#include "vrx/core/memory/vrx_readmemory.h"

#include <cstdint>

#include "vrx/core/memory/vrx_readbytearray.h"
#include "vrx/core/memory/vrx_readmemoryengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

// Whether the engines after an in-place reader may load the samples of
// `memory` through pointers to their sample type: raw samples of 2, 4 or 8
// bytes need an address on that boundary.
bool lendable_in_place(const VRX_Header& header, const void* memory) {
    if (!header.encode_type()->is_raw() || header.bits < 16 || header.bits % 8 != 0) return true;
    const uintptr_t sample_bytes = header.bits / 8;
    return reinterpret_cast<uintptr_t>(memory) % sample_bytes == 0;
}

// The whole image lies in the first block: there is no further one.
bool no_further_block(VRX_MemoryCallbackInfo*) { return false; }

}  // namespace

VRX_Engine* VRX_ReadMemory::engine(const VRX_Header* header, const void* memory, uint32_t size,
                                   uint32_t* read, VRX_MemoryCallback callback, void* user_data) {
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ReadMemory::engine()", __FILE__, __LINE__);
        return nullptr;
    }
    if (callback == default_memory_callback) {
        if (lendable_in_place(*header, memory))
            return VRX_ReadByteArray(manager_).engine(header, memory, size, read);
        // An array off its samples' boundary is copied line by line into the
        // chain's own blocks, so no engine after this one meets a misaligned
        // sample.
        callback = no_further_block;
    }
    // The engine's destination: a proxy bound to the real buffer when the
    // engine is registered.
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    return make_engine<VRX_ReadMemoryEngine>(nullptr, dst, [&](VRX_ReadMemoryEngine* e) {
        return e->initiate(header, dst, memory, size, read, callback, user_data);
    });
}

}  // namespace vrx
