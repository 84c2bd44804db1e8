#pragma once
// Builds the width enlargement by a whole factor of samples of 8 or 16 bits.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleWidthIRE8xNBits : public VRX_StageCreator {
public:
    explicit VRX_ScaleWidthIRE8xNBits(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleWidthIRE8xNBits() override = default;

    // The engine that repeats every pixel `factor` times; the source itself
    // for factor 1; null after a report (a missing source or header:
    // 0x80800000; samples other than u_integer or s_integer of 8 or 16 bits:
    // 0x81000000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t factor);
};

}  // namespace vrx
