#pragma once
// Area scaling of the height by the cheapest engine that gives the projected
// result: none, nearest neighbour for a source one line high, enlargement,
// reduction by a ratio that is not whole, or whole-ratio averaging.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleppstage.h"

namespace vrx {

// C: double or VRX_FixedReal12, the engines' weights.
template <class C>
class VRX_ScaleHeightPPBy : public VRX_ScalePPStageCreator {
public:
    explicit VRX_ScaleHeightPPBy(VRX_Manager* manager) : VRX_ScalePPStageCreator(manager) {}
    ~VRX_ScaleHeightPPBy() override = default;

    // The last engine, the source itself at its own height, or null after a
    // report (a missing source or header, height 0: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t height);
};

}  // namespace vrx
