#include "vrx/core/channel/vrx_select1channel8xnbitsengine.h"

namespace vrx {

namespace {

// The copy for samples of B bytes; three and four channels (RGB, RGBA,
// CMYK) get a stride the compiler knows.
template <size_t B>
auto copy_for(uint16_t channels) {
    switch (channels) {
        case 3: return &select_samples<B, 3, 1>;
        case 4: return &select_samples<B, 4, 1>;
        default: return &select_samples<B, 0, 1>;
    }
}

}  // namespace

bool VRX_Select1Channel8xNbitsEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                               VRX_DstBuffer* dst, uint16_t channel,
                                               const VRX_ColorType* color) {
    const Refusals refusals{"VRX_Select1Channel8xNbitsEngine::initiate()", __FILE__, 89, 100, 106};
    if (!initiate_selection(header, src, dst, channel, 1, color, false, refusals)) return false;
    switch (bits_) {
        case 8: copy_ = copy_for<1>(channels_); break;
        case 16: copy_ = copy_for<2>(channels_); break;
        case 32: copy_ = copy_for<4>(channels_); break;
        default: copy_ = copy_for<8>(channels_); break;
    }
    return true;
}

void VRX_Select1Channel8xNbitsEngine::select(const unsigned char* in, unsigned char* out) {
    copy_(in, channels_, first_, 1, width_, out);
}

}  // namespace vrx
