#pragma once
// Area (pixel-projection) scaling of both axes: one stage per axis, the
// height first when it shrinks, each taking the cheapest engine that gives
// the projected result.
#include <cstdint>

#include "vrx/core/scale/vrx_scale.h"

namespace vrx {

// C: double or VRX_FixedReal12, the engines' weights.
template <class C>
class VRX_ScalePPBy : public VRX_Scale {
public:
    explicit VRX_ScalePPBy(VRX_Manager* manager) : VRX_Scale(manager) {}
    ~VRX_ScalePPBy() override = default;

    // The last engine, the source itself at its own size, or null after a
    // report (a missing source or header, a size of 0: 0x80800000).
    VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height) override;
};

}  // namespace vrx
