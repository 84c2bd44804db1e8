#include "vrx/core/channel/vrx_selectnchannel8xnbitsengine.h"

namespace vrx {

bool VRX_SelectNChannel8xNbitsEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                               VRX_DstBuffer* dst, uint16_t first, uint16_t count,
                                               const VRX_ColorType* color) {
    const Refusals refusals{"VRX_SelectNChannel8xNbitsEngine::initiate()", __FILE__, 86, 99, 105};
    if (!initiate_selection(header, src, dst, first, count, color, false, refusals)) return false;
    switch (bits_) {
        case 8: copy_ = &select_samples<1>; break;
        case 16: copy_ = &select_samples<2>; break;
        case 32: copy_ = &select_samples<4>; break;
        default: copy_ = &select_samples<8>; break;
    }
    return true;
}

void VRX_SelectNChannel8xNbitsEngine::select(const unsigned char* in, unsigned char* out) {
    copy_(in, channels_, first_, count_, width_, out);
}

}  // namespace vrx
