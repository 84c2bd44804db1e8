#include "vrx/core/channel/vrx_select1channel8xnbitsengine.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kInitiateText = "VRX_Select1Channel8xNbitsEngine::initiate()";

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
    if (!begin(header, src, dst, kInitiateText, __FILE__, 89)) return false;
    bits_ = header->bits;
    channels_ = header->channels;
    if (!channel_fits(channels_, channel, color)) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 100);
        return false;
    }
    switch (bits_) {
        case 8: copy_ = copy_for<1>(channels_); break;
        case 16: copy_ = copy_for<2>(channels_); break;
        case 32: copy_ = copy_for<4>(channels_); break;
        case 64: copy_ = copy_for<8>(channels_); break;
        default: break;
    }
    if (!copy_ || !header->encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 106);
        return false;
    }
    channel_ = channel;
    width_ = header->width;
    return set_output(header, 1, color);
}

void VRX_Select1Channel8xNbitsEngine::select(const unsigned char* in, unsigned char* out) {
    copy_(in, channels_, channel_, 1, width_, out);
}

}  // namespace vrx
