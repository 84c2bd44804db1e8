#include "vrx/core/channel/vrx_selectnchannel1bitengine.h"

namespace vrx {

bool VRX_SelectNChannel1bitEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst, uint16_t first, uint16_t count,
                                            const VRX_ColorType* color) {
    const Refusals refusals{"VRX_SelectNChannel1bitEngine::initiate()", __FILE__, 84, 96, 102};
    return initiate_selection(header, src, dst, first, count, color, true, refusals);
}

void VRX_SelectNChannel1bitEngine::select(const unsigned char* in, unsigned char* out) {
    std::memset(out, 0, output_bytes_);
    select_bits(in, channels_, first_, count_, 0, width_, out);
}

}  // namespace vrx
