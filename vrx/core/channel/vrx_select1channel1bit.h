#pragma once
// Creator of the engine that takes one channel out of a packed one-bit image.
#include "vrx/core/channel/vrx_channelselector.h"

namespace vrx {

class VRX_ColorType;

class VRX_Select1Channel1bit : public VRX_ChannelSelector {
public:
    explicit VRX_Select1Channel1bit(VRX_Manager* manager) : VRX_ChannelSelector(manager) {}
    ~VRX_Select1Channel1bit() override = default;

    // The registered engine; the source itself when it has one channel; null
    // after a report (0x80800000 for a null source or header).
    virtual VRX_Engine* engine(VRX_Engine* source, uint16_t channel, const VRX_ColorType* color);
};

}  // namespace vrx
