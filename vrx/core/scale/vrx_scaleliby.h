#pragma once
// Linear-interpolation scaling of 8- and 16-bit integer images in at most two
// stages: odd whole reductions of both axes are sub-sampled, other
// reductions of both axes interpolated in one engine; otherwise one stage
// per axis that changes, the shrinking axis first (width first when neither
// shrinks).
#include <cstdint>
#include <type_traits>

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/core/scale/vrx_scale.h"

namespace vrx {

// C: VRX_FixedReal12 only.
template <class C>
class VRX_ScaleLIBy : public VRX_Scale {
    static_assert(std::is_same_v<C, VRX_FixedReal12>, "Q12 weights only");

public:
    explicit VRX_ScaleLIBy(VRX_Manager* manager) : VRX_Scale(manager) {}
    ~VRX_ScaleLIBy() override = default;

    // The last engine, the source itself at its own size, or null after a
    // report (a missing source or header: 0x80800000).
    VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height) override;
};

}  // namespace vrx
