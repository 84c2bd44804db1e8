#pragma once
// The fast front end's height stage: reductions by a ratio that is not whole
// take the fast engine, every other change VRX_ScalePPBy's choice.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleppstage.h"

namespace vrx {

// C: double or VRX_FixedReal12, the engines' weights.
template <class C>
class VRX_ScaleHeightPPFastBy : public VRX_ScalePPStageCreator {
public:
    explicit VRX_ScaleHeightPPFastBy(VRX_Manager* manager) : VRX_ScalePPStageCreator(manager) {}
    ~VRX_ScaleHeightPPFastBy() override = default;

    // The last engine, the source itself at its own height, or null after a
    // report (a missing source or header, height 0: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t height);
};

}  // namespace vrx
