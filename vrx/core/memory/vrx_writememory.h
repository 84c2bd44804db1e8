#pragma once
// Creator of the last link of a chain: writes the image that leaves an
// engine into caller memory.
#include "vrx/core/memory/vrx_memorycallback.h"
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_WriteMemory : public VRX_EngineCreator {
public:
    explicit VRX_WriteMemory(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_WriteMemory() override = default;

    // A registered writer of `input`'s image into `memory` (size bytes), or
    // null. The bytes written so far are counted behind `written` (may be
    // null). With the default callback a raw image is written by the direct
    // form (VRX_WriteRawByteArray); otherwise `callback` is asked for the next
    // block whenever the current one is full. A null input, or one without
    // header, is refused with 0x80800000.
    virtual VRX_Engine* engine(VRX_Engine* input, void* memory, uint32_t size,
                               uint32_t* written = nullptr,
                               VRX_MemoryCallback callback = default_memory_callback,
                               void* user_data = nullptr);
};

}  // namespace vrx
