#pragma once
// Builds the width enlargement by a whole factor, by sample size.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleWidthIRE : public VRX_StageCreator {
public:
    explicit VRX_ScaleWidthIRE(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleWidthIRE() override = default;

    // The engine that repeats every pixel `factor` times; null after a report
    // (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t factor);
};

}  // namespace vrx
