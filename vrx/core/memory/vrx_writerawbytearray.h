#pragma once
// Creator of the direct writer of a raw image into one contiguous array.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_WriteRawByteArray : public VRX_EngineCreator {
public:
    explicit VRX_WriteRawByteArray(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_WriteRawByteArray() override = default;

    // A registered writer of `input`'s raw image into `memory` (size bytes),
    // or null; the bytes written are counted behind `written` (may be null).
    // A null input, or one without header, is refused with 0x80800000.
    virtual VRX_Engine* engine(VRX_Engine* input, void* memory, uint32_t size,
                               uint32_t* written = nullptr);
};

}  // namespace vrx
