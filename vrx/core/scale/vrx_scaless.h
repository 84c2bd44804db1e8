#pragma once
// Builds the sub-sampler by whole steps.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleSS : public VRX_StageCreator {
public:
    explicit VRX_ScaleSS(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleSS() override = default;

    // The engine that takes every step_x-th pixel of every step_y-th line
    // from (offset_x, offset_y); the source itself for steps 1 and offsets
    // 0; null after a report (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t step_x, uint32_t step_y,
                               uint32_t offset_x, uint32_t offset_y);
};

}  // namespace vrx
