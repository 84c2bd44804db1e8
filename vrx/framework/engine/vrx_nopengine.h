#pragma once
// A pass-through engine: copies its source block by block.
#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_NopEngine : public VRX_ProcessEngine {
public:
    explicit VRX_NopEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_NopEngine() override = default;

    // Copies one source block into one destination block.
    bool execute() override;
    // Version test, the process initiate, then the destination's block size
    // becomes the source's.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;
};

}  // namespace vrx
