#pragma once
// Integer-ratio area averaging of the height by a given ratio.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleiarstage.h"

namespace vrx {

class VRX_ScaleHeightIAR : public VRX_ScaleIARStage {
public:
    explicit VRX_ScaleHeightIAR(VRX_Manager* manager) : VRX_ScaleIARStage(manager) {}
    ~VRX_ScaleHeightIAR() override = default;

    // The engine that averages blocks of `ratio` (the height becomes the
    // source's divided by the ratio, at least 1), the source itself for
    // ratio 1, or null after a report (a missing source or header, ratio 0:
    // 0x80800000; samples of other than 8 or 16 bits: 0x81000000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t ratio);
};

}  // namespace vrx
