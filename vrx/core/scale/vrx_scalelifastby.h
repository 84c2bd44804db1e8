#pragma once
// The render chain's linear-interpolation scaler: checks its source and hands
// the request to VRX_ScaleLIBy.
#include <cstdint>
#include <type_traits>

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/core/scale/vrx_scale.h"

namespace vrx {

// C: VRX_FixedReal12 only.
template <class C>
class VRX_ScaleLIFastBy : public VRX_Scale {
    static_assert(std::is_same_v<C, VRX_FixedReal12>, "Q12 weights only");

public:
    explicit VRX_ScaleLIFastBy(VRX_Manager* manager) : VRX_Scale(manager) {}
    ~VRX_ScaleLIFastBy() override = default;

    // A missing source or header: 0x80800000; otherwise VRX_ScaleLIBy's result.
    VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height) override;
};

}  // namespace vrx
