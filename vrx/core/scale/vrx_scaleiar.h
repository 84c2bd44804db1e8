#pragma once
// Integer-ratio area averaging of both axes: the height stage, then the
// width stage.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleIAR : public VRX_StageCreator {
public:
    explicit VRX_ScaleIAR(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleIAR() override = default;

    // VRX_ScaleHeightIAR (source, height ratio), then VRX_ScaleWidthIAR on
    // its result with the width ratio; the second result.
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t width_ratio, uint32_t height_ratio);
};

}  // namespace vrx
