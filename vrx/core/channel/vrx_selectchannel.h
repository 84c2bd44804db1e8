#pragma once
// Channel selection as the application uses it: one channel, or a run of
// adjacent channels, of an image with interleaved channels becomes an image
// of its own (the gray planes of a colour frame, the first three channels of
// four).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_ColorType;
class VRX_Engine;

class VRX_SelectChannel : public VRX_EngineCreator {
public:
    explicit VRX_SelectChannel(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_SelectChannel() override = default;

    // Count 1: VRX_Select1Channel with channel `first`; any other count:
    // VRX_SelectNChannel. Their result.
    virtual VRX_Engine* engine(VRX_Engine* source, uint16_t first, uint16_t count,
                               const VRX_ColorType* color);
    // VRX_Select1Channel's result.
    virtual VRX_Engine* engine(VRX_Engine* source, uint16_t channel, const VRX_ColorType* color);
};

}  // namespace vrx
