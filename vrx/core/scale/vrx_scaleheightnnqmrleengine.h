#pragma once
// Nearest-neighbour height scaling of run-length images: destination line j
// is source line floor((j + 1/2) x ratio), written straight from the run
// buffer without copying its runs.
#include "vrx/core/scale/vrx_scaleheightqmrleengine.h"

namespace vrx {

class VRX_ScaleHeightNNQMRLEEngine : public VRX_ScaleHeightQMRLEEngine {
public:
    explicit VRX_ScaleHeightNNQMRLEEngine(VRX_Manager* manager)
        : VRX_ScaleHeightQMRLEEngine(manager) {}
    ~VRX_ScaleHeightNNQMRLEEngine() override = default;

    // One destination line per call.
    bool execute() override;
    // Version test (0x80040000); the base; the position starts at ratio / 2.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;
};

}  // namespace vrx
