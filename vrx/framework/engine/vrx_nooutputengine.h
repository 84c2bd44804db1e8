#pragma once
// Engines without an output image (writers, analysers).
#include "vrx/framework/engine/vrx_engine.h"

namespace vrx {

class VRX_NoOutputEngine : public VRX_Engine {
public:
    using VRX_Engine::VRX_Engine;
    ~VRX_NoOutputEngine() override = default;

    // Refused with 0x80080000: there is no output.
    const VRX_Header* header() override;
    VRX_SrcBuffer* src_buffer() override;
    VRX_Vector<VRX_Engine*> branch(uint32_t count) override;
};

}  // namespace vrx
