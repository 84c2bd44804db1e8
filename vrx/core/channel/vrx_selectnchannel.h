#pragma once
// Front end of the selection of adjacent channels: chooses the one-bit or
// the 8 to 64-bit creator by the source's depth.
#include "vrx/core/channel/vrx_channelselector.h"

namespace vrx {

class VRX_ColorType;

class VRX_SelectNChannel : public VRX_ChannelSelector {
public:
    explicit VRX_SelectNChannel(VRX_Manager* manager) : VRX_ChannelSelector(manager) {}
    ~VRX_SelectNChannel() override = default;

    // An image of the `count` channels from `first` of the source with the
    // colour type `color` (unknown for two channels). A one-channel source,
    // or every channel from 0, is the source itself. A null source or header
    // is refused with 0x80800000, a depth neither 1 nor a multiple of 8 with
    // 0x81000000.
    virtual VRX_Engine* engine(VRX_Engine* source, uint16_t first, uint16_t count,
                               const VRX_ColorType* color);
};

}  // namespace vrx
