#pragma once
// Creator of the one-bit channel merge engine (reached through VRX_MergeChannel).
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_ColorType;
class VRX_Engine;

class VRX_MergeChannel1bit : public VRX_EngineCreator {
public:
    explicit VRX_MergeChannel1bit(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_MergeChannel1bit() override = default;

    // The registered merge engine, or null after a report.
    virtual VRX_Engine* engine(const VRX_Vector<VRX_Engine*>& sources, const VRX_ColorType* color);
};

}  // namespace vrx
