#include "vrx/core/channel/vrx_selectnchannel1bit.h"

#include "vrx/core/channel/vrx_selectnchannel1bitengine.h"

namespace vrx {

VRX_Engine* VRX_SelectNChannel1bit::engine(VRX_Engine* source, uint16_t first, uint16_t count,
                                           const VRX_ColorType* color) {
    const VRX_Header* header =
        source_header(source, "VRX_SelectNChannel1bit::engine()", __FILE__, 50);
    if (!header || selects_all(*header, first, count)) return header ? source : nullptr;
    return build<VRX_SelectNChannel1bitEngine>(source, header, first, count, color);
}

}  // namespace vrx
