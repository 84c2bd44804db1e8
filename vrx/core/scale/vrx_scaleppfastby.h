#pragma once
// The render chain's area (pixel-projection) scaler. On processors with SSE2
// it chains one fast stage per axis, the height first when it shrinks;
// otherwise it is VRX_ScalePPBy. 8-bit images are weighted in Q12, deeper
// ones in double.
#include <cstdint>
#include <type_traits>

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/core/scale/vrx_scale.h"

namespace vrx {

// Whether the processor reports SSE2 (CPUID leaf 1, EDX bit 26, with a
// highest basic leaf of 1 or more), asked through the platform's CPUID
// source.
bool has_sse2();

// C: VRX_FixedReal12 only.
template <class C>
class VRX_ScalePPFastBy : public VRX_Scale {
    static_assert(std::is_same_v<C, VRX_FixedReal12>, "the render chain's instance only");

public:
    explicit VRX_ScalePPFastBy(VRX_Manager* manager) : VRX_Scale(manager) {}
    ~VRX_ScalePPFastBy() override = default;

    // The last engine, the source itself at its own size, or null after a
    // report (a missing source or header, a size of 0: 0x80800000).
    VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height) override;

private:
    template <class W>
    VRX_Engine* stages(VRX_Engine* source, const VRX_Header& h, uint32_t width, uint32_t height);
};

}  // namespace vrx
