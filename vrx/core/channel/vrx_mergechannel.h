#pragma once
// Creator of the channel merge: several images of equal geometry become one
// image whose channels are the inputs' channels side by side (three planes
// R, G, B become one RGB image).
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_ColorType;
class VRX_Engine;

class VRX_MergeChannel : public VRX_EngineCreator {
public:
    explicit VRX_MergeChannel(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_MergeChannel() override = default;

    // One source: that source. Several: the merge engine for one-bit sources
    // (chosen by the first source) or for 8 to 64-bit sources, whose output
    // has the colour type `color`. Null after a report.
    virtual VRX_Engine* engine(const VRX_Vector<VRX_Engine*>& sources, const VRX_ColorType* color);
};

}  // namespace vrx
