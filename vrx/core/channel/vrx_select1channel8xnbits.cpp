#include "vrx/core/channel/vrx_select1channel8xnbits.h"

#include "vrx/core/channel/vrx_select1channel8xnbitsengine.h"

namespace vrx {

VRX_Engine* VRX_Select1Channel8xNbits::engine(VRX_Engine* source, uint16_t channel,
                                              const VRX_ColorType* color) {
    const VRX_Header* header =
        source_header(source, "VRX_Select1Channel8xNbits::engine()", __FILE__, 49);
    if (!header || selects_all(*header, 0, 1)) return header ? source : nullptr;
    return build<VRX_Select1Channel8xNbitsEngine>(source, header, channel, color);
}

}  // namespace vrx
