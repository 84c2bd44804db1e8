#include "vrx/core/channel/vrx_selectnchannel8xnbits.h"

#include "vrx/core/channel/vrx_selectnchannel8xnbitsengine.h"

namespace vrx {

VRX_Engine* VRX_SelectNChannel8xNbits::engine(VRX_Engine* source, uint16_t first, uint16_t count,
                                              const VRX_ColorType* color) {
    const VRX_Header* header =
        source_header(source, "VRX_SelectNChannel8xNbits::engine()", __FILE__, 50);
    if (!header || selects_all(*header, first, count)) return header ? source : nullptr;
    return build<VRX_SelectNChannel8xNbitsEngine>(source, header, first, count, color);
}

}  // namespace vrx
