#pragma once
// One stage that interpolates the height; a source of one line is repeated by
// nearest neighbour.
#include <cstdint>
#include <type_traits>

#include "vrx/framework/base/vrx_stagecreator.h"
#include "vrx/core/lut/vrx_fixedrealimpl.h"

namespace vrx {

// C: VRX_FixedReal12 only.
template <class C>
class VRX_ScaleHeightLIBy : public VRX_StageCreator {
    static_assert(std::is_same_v<C, VRX_FixedReal12>, "Q12 weights only");

public:
    explicit VRX_ScaleHeightLIBy(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleHeightLIBy() override = default;

    // The engine, the source itself at its own size, or null after a report
    // (a missing source or header: 0x80800000; samples other than 8- or
    // 16-bit u_integer or s_integer: 0x81000000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t height);
};

}  // namespace vrx
