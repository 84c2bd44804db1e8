#include "vrx/core/channel/vrx_selectchannel.h"

#include "vrx/core/channel/vrx_select1channel.h"
#include "vrx/core/channel/vrx_selectnchannel.h"

namespace vrx {

VRX_Engine* VRX_SelectChannel::engine(VRX_Engine* source, uint16_t first, uint16_t count,
                                      const VRX_ColorType* color) {
    if (count == 1) return VRX_Select1Channel(manager_).engine(source, first, color);
    return VRX_SelectNChannel(manager_).engine(source, first, count, color);
}

VRX_Engine* VRX_SelectChannel::engine(VRX_Engine* source, uint16_t channel,
                                      const VRX_ColorType* color) {
    return VRX_Select1Channel(manager_).engine(source, channel, color);
}

}  // namespace vrx
