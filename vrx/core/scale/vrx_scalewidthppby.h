#pragma once
// Area scaling of the width by the cheapest engine that gives the projected
// result: none, nearest neighbour for a source one pixel wide, enlargement,
// reduction by a ratio that is not whole, or whole-ratio averaging.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleppstage.h"

namespace vrx {

// C: double or VRX_FixedReal12, the engines' weights.
template <class C>
class VRX_ScaleWidthPPBy : public VRX_ScalePPStageCreator {
public:
    explicit VRX_ScaleWidthPPBy(VRX_Manager* manager) : VRX_ScalePPStageCreator(manager) {}
    ~VRX_ScaleWidthPPBy() override = default;

    // The last engine, the source itself at its own width, or null after a
    // report (a missing source or header, width 0: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t width);
};

}  // namespace vrx
