#pragma once
// A source engine that makes pixels without input (constant colour).
#include "vrx/framework/engine/vrx_bufferoutputengine.h"

namespace vrx {

class VRX_GenerateEngine : public VRX_BufferOutputEngine {
public:
    using VRX_BufferOutputEngine::VRX_BufferOutputEngine;
    ~VRX_GenerateEngine() override = default;

    // The output initiate, then a valid header (else 0x80800000).
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst) override;
};

}  // namespace vrx
