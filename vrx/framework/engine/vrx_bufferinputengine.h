#pragma once
// Input side of one-source engines: the source buffer it reads.
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_Manager;
class VRX_SrcBuffer;

class VRX_BufferInputEngine {
public:
    explicit VRX_BufferInputEngine(VRX_Manager* manager) : input_manager_(manager) {}
    VRX_BufferInputEngine(const VRX_BufferInputEngine&) = delete;
    VRX_BufferInputEngine& operator=(const VRX_BufferInputEngine&) = delete;
    virtual ~VRX_BufferInputEngine() = default;

    // Header and source non-null and the header valid; keeps the source.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src);
    // Destroys the source buffer when `release_source` (the engine was initiated).
    virtual bool terminate(bool release_source);

    VRX_SrcBuffer* input_buffer() const { return src_buffer_; }

protected:
    VRX_Manager* input_manager_;
    VRX_SrcBuffer* src_buffer_ = nullptr;
};

}  // namespace vrx
