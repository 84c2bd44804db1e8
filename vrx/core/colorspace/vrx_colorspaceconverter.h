#pragma once
// Builds the stages of a filled colour-space plan (VRX_CsUtility) behind a
// source: lookup tables, colour matrices, direct tables, point-to-point
// engines, NOT and header relabelling.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_ColorType;
class VRX_CsUtility;

class VRX_ColorSpaceConverter : public VRX_EngineCreator {
public:
    explicit VRX_ColorSpaceConverter(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ColorSpaceConverter() override = default;

    // The last engine of the plan's stages, or null after a report (a stage
    // creator's own, or 0x81000000 "VRX_ColorSpace::engine()" for a plan
    // kind it does not know). A first stage that fails ends the plan.
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_ColorType* target,
                               const VRX_CsUtility& utility);

private:
    VRX_Engine* lut_stage(VRX_Engine* input, const VRX_ColorType* to, const VRX_CsUtility& u,
                          uint16_t bits);
    VRX_Engine* matrix_stage(VRX_Engine* input, const VRX_ColorType* to, const VRX_CsUtility& u,
                             uint16_t bits);
    VRX_Engine* relabel(VRX_Engine* input, const VRX_ColorType* to);
};

}  // namespace vrx
