#pragma once
// Creator of the engine that takes adjacent channels out of an image of 8 to 64-bit
// samples.
#include "vrx/core/channel/vrx_channelselector.h"

namespace vrx {

class VRX_ColorType;

class VRX_SelectNChannel8xNbits : public VRX_ChannelSelector {
public:
    explicit VRX_SelectNChannel8xNbits(VRX_Manager* manager) : VRX_ChannelSelector(manager) {}
    ~VRX_SelectNChannel8xNbits() override = default;

    // The registered engine; the source itself when it has one channel or
    // every channel is asked from 0; null after a report (0x80800000 for a
    // null source or header).
    virtual VRX_Engine* engine(VRX_Engine* source, uint16_t first, uint16_t count,
                               const VRX_ColorType* color);
};

}  // namespace vrx
