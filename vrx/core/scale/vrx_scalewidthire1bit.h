#pragma once
// Builds the width enlargement by a whole factor of packed 1-bit lines.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleWidthIRE1Bit : public VRX_StageCreator {
public:
    explicit VRX_ScaleWidthIRE1Bit(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleWidthIRE1Bit() override = default;

    // The engine that repeats every pixel `factor` times; the source itself
    // for factor 1; null after a report (a missing source or header:
    // 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t factor);
};

}  // namespace vrx
