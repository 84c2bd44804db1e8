#pragma once
// Callbacks through which the memory read and write engines ask the caller
// for the next block of memory once the current one is used up.
#include <cstdint>

namespace vrx {

// What the engine and the callback share. `block_count` is the number of
// memory blocks handed to the engine so far (1 until the first callback
// returns; the engine adds one after every call, whatever its result);
// `memory` and `size` describe the current block: the caller's first block
// at the start, then the block the callback stores there; `user_data` is the
// caller's, never interpreted. The read engine never writes through `memory`.
class VRX_MemoryCallbackInfo {
public:
    virtual ~VRX_MemoryCallbackInfo() = default;

    uint32_t block_count = 1;
    unsigned char* memory = nullptr;
    uint32_t size = 0;
    void* user_data = nullptr;
};

// The information a write engine passes to its callback.
class VRX_WriteMemoryCallbackInfo : public VRX_MemoryCallbackInfo {};
// The information a read engine passes to its callback.
class VRX_ReadMemoryCallbackInfo : public VRX_MemoryCallbackInfo {};

// Returns true after storing a non-null memory and a non-zero size in `info`
// to hand over the next block (it may be the same block again, consumed or
// refilled); false refuses.
using VRX_MemoryCallback = bool (*)(VRX_MemoryCallbackInfo* info);

// The library's default callback: refuses and touches nothing. Given to
// VRX_WriteMemory or VRX_ReadMemory it selects the direct paths over one
// contiguous array; the creators recognise it by its address.
bool default_memory_callback(VRX_MemoryCallbackInfo* info);

}  // namespace vrx
