#include "vrx/core/channel/vrx_select1channel.h"

#include "vrx/core/channel/vrx_select1channel1bit.h"
#include "vrx/core/channel/vrx_select1channel8xnbits.h"

namespace vrx {

VRX_Engine* VRX_Select1Channel::engine(VRX_Engine* source, uint16_t channel,
                                       const VRX_ColorType* color) {
    constexpr const char* kText = "VRX_Select1Channel::engine()";
    const VRX_Header* header = source_header(source, kText, __FILE__, 50);
    if (!header || selects_all(*header, 0, 1)) return header ? source : nullptr;
    if (header->bits == 1) return VRX_Select1Channel1bit(manager_).engine(source, channel, color);
    if (header->bits != 0 && header->bits % 8 == 0)
        return VRX_Select1Channel8xNbits(manager_).engine(source, channel, color);
    manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 71);
    return nullptr;
}

}  // namespace vrx
