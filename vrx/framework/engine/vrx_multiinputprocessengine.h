#pragma once
// An engine with several sources and one output.
#include "vrx/framework/engine/vrx_bufferoutputengine.h"
#include "vrx/framework/engine/vrx_nbuffersinputengine.h"

namespace vrx {

class VRX_MultiInputProcessEngine : public VRX_BufferOutputEngine, public VRX_NBuffersInputEngine {
public:
    explicit VRX_MultiInputProcessEngine(VRX_Manager* manager)
        : VRX_BufferOutputEngine(manager), VRX_NBuffersInputEngine(manager) {}
    ~VRX_MultiInputProcessEngine() override = default;

    // The input side (header copies; sources when initiated), then the output side.
    bool terminate() override;
    // At least one header (else 0x80800000); the output side with header 0,
    // then the input side.
    virtual bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                          const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst);

    // The output header and reader, and input i's header and source buffer.
    using VRX_BufferOutputEngine::header;
    using VRX_BufferOutputEngine::src_buffer;
    using VRX_NBuffersInputEngine::header;
    using VRX_NBuffersInputEngine::src_buffer;
};

}  // namespace vrx
