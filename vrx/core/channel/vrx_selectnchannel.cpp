#include "vrx/core/channel/vrx_selectnchannel.h"

#include "vrx/core/channel/vrx_selectnchannel1bit.h"
#include "vrx/core/channel/vrx_selectnchannel8xnbits.h"

namespace vrx {

VRX_Engine* VRX_SelectNChannel::engine(VRX_Engine* source, uint16_t first, uint16_t count,
                                       const VRX_ColorType* color) {
    constexpr const char* kText = "VRX_SelectNChannel::engine()";
    const VRX_Header* header = source_header(source, kText, __FILE__, 52);
    if (!header || selects_all(*header, first, count)) return header ? source : nullptr;
    if (header->bits == 1)
        return VRX_SelectNChannel1bit(manager_).engine(source, first, count, color);
    if (header->bits != 0 && header->bits % 8 == 0)
        return VRX_SelectNChannel8xNbits(manager_).engine(source, first, count, color);
    manager_->report(VRX_ERROR_UNSUPPORTED, kText, __FILE__, 75);
    return nullptr;
}

}  // namespace vrx
