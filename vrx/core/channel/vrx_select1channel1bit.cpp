#include "vrx/core/channel/vrx_select1channel1bit.h"

#include "vrx/core/channel/vrx_select1channel1bitengine.h"

namespace vrx {

VRX_Engine* VRX_Select1Channel1bit::engine(VRX_Engine* source, uint16_t channel,
                                           const VRX_ColorType* color) {
    const VRX_Header* header =
        source_header(source, "VRX_Select1Channel1bit::engine()", __FILE__, 49);
    if (!header || selects_all(*header, 0, 1)) return header ? source : nullptr;
    return build<VRX_Select1Channel1bitEngine>(source, header, channel, color);
}

}  // namespace vrx
