#pragma once
// One area reduction stage of the width by a ratio that is not whole; a
// source one pixel wide is repeated by nearest neighbour.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleppstage.h"

namespace vrx {

// C: double or VRX_FixedReal12, the engine's weights.
template <class C>
class VRX_ScaleWidthPPRBy : public VRX_ScalePPStageCreator {
public:
    explicit VRX_ScaleWidthPPRBy(VRX_Manager* manager) : VRX_ScalePPStageCreator(manager) {}
    ~VRX_ScaleWidthPPRBy() override = default;

    // The engine, the source itself at its own width, or null after a report
    // (a missing source or header: 0x80800000; samples of other than 8 or 16
    // bits: 0x81000000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t width);
};

}  // namespace vrx
