#pragma once
// Nearest-neighbour width scaling of run-length lines: the column ends of
// every run are mapped, so the cost is per run, not per pixel.
#include "vrx/core/scale/vrx_scalewidthqmrleengine.h"

namespace vrx {

class VRX_ScaleWidthNNQMRLEEngine : public VRX_ScaleWidthQMRLEEngine {
public:
    explicit VRX_ScaleWidthNNQMRLEEngine(VRX_Manager* manager)
        : VRX_ScaleWidthQMRLEEngine(manager) {}
    ~VRX_ScaleWidthNNQMRLEEngine() override = default;

    // One line per call. A run [f, l + 1) maps to [s, e), each end rounded
    // half up from end x ratio. Enlarged runs stay apart; when shrinking,
    // empty runs vanish and runs that touch or overlap merge.
    bool execute() override;
};

}  // namespace vrx
