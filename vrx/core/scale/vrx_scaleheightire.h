#pragma once
// Builds the height enlargement by a whole factor.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleHeightIRE : public VRX_StageCreator {
public:
    explicit VRX_ScaleHeightIRE(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleHeightIRE() override = default;

    // The engine that repeats every line `factor` times; the source itself for
    // factor 1; null after a report (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t factor);
};

}  // namespace vrx
