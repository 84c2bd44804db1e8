#pragma once
// Creator of the first link of a chain: an image that lies in caller memory.
#include "vrx/core/memory/vrx_memorycallback.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_ReadMemory : public VRX_EngineCreator {
public:
    explicit VRX_ReadMemory(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadMemory() override = default;

    // A registered engine whose output is the image `header` describes, held
    // in `memory` (size bytes), or null. The bytes read so far are counted
    // behind `read` (may be null). With the default callback the following
    // engine reads the array in place (VRX_ReadByteArray); otherwise
    // `callback` is asked for the next block whenever the current one is
    // used up. A null header is refused with 0x80800000. The memory may lie
    // at any address: raw samples of 2, 4 or 8 bytes off their boundary are
    // copied line by line into the chain's own blocks instead of being read
    // in place.
    virtual VRX_Engine* engine(const VRX_Header* header, const void* memory, uint32_t size,
                               uint32_t* read = nullptr,
                               VRX_MemoryCallback callback = default_memory_callback,
                               void* user_data = nullptr);
};

}  // namespace vrx
