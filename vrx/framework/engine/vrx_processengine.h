#pragma once
// An engine with one source and one output.
#include "vrx/framework/engine/vrx_bufferinputengine.h"
#include "vrx/framework/engine/vrx_bufferoutputengine.h"

namespace vrx {

class VRX_ProcessEngine : public VRX_BufferOutputEngine, public VRX_BufferInputEngine {
public:
    explicit VRX_ProcessEngine(VRX_Manager* manager)
        : VRX_BufferOutputEngine(manager), VRX_BufferInputEngine(manager) {}
    ~VRX_ProcessEngine() override = default;

    // Destroys the source buffer (when initiated), then the output side.
    bool terminate() override;
    // The output side (header copied, destination kept), then the input side
    // (header valid, source kept).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst);
};

}  // namespace vrx
