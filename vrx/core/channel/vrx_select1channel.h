#pragma once
// Front end of the one-channel selection: chooses the one-bit or the 8 to
// 64-bit creator by the source's depth.
#include "vrx/core/channel/vrx_channelselector.h"

namespace vrx {

class VRX_ColorType;

class VRX_Select1Channel : public VRX_ChannelSelector {
public:
    explicit VRX_Select1Channel(VRX_Manager* manager) : VRX_ChannelSelector(manager) {}
    ~VRX_Select1Channel() override = default;

    // An image of channel `channel` of the source with the colour type
    // `color`. A one-channel source is returned itself (channel and colour
    // type are not looked at). A null source or header is refused with
    // 0x80800000, a depth neither 1 nor a multiple of 8 with 0x81000000.
    virtual VRX_Engine* engine(VRX_Engine* source, uint16_t channel, const VRX_ColorType* color);
};

}  // namespace vrx
