#pragma once
// Destination-buffer policy of a manager.
#include <cstdint>

namespace vrx {

class VRX_DstBuffer;

class VRX_Workflow {
public:
    // A new destination buffer for an engine about to be built (a proxy that is
    // bound to the real buffer when the engine is registered), or null.
    virtual VRX_DstBuffer* new_dst_buffer() = 0;
    // The workflow's preferred block size in bytes.
    virtual uint32_t block_bytes() = 0;
    virtual ~VRX_Workflow() = default;
};

}  // namespace vrx
