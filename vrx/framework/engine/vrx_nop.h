#pragma once
// Creator of pass-through engines.
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_Nop : public VRX_EngineCreator {
public:
    explicit VRX_Nop(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_Nop() override = default;

    // A registered pass-through engine reading `src` under `header`, or null.
    // The source buffer is taken in any case.
    virtual VRX_Engine* engine(const VRX_Header* header, VRX_SrcBuffer* src);
};

}  // namespace vrx
