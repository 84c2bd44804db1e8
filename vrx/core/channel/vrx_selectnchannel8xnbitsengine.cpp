#include "vrx/core/channel/vrx_selectnchannel8xnbitsengine.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_SelectNChannel8xNbitsEngine::initiate()";
}

bool VRX_SelectNChannel8xNbitsEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                               VRX_DstBuffer* dst, uint16_t first, uint16_t count,
                                               const VRX_ColorType* color) {
    if (!begin(header, src, dst, kInitiateText, __FILE__, 86)) return false;
    bits_ = header->bits;
    channels_ = header->channels;
    if (!selection_fits(channels_, first, count, color)) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 99);
        return false;
    }
    switch (bits_) {
        case 8: copy_ = &select_samples<1>; break;
        case 16: copy_ = &select_samples<2>; break;
        case 32: copy_ = &select_samples<4>; break;
        case 64: copy_ = &select_samples<8>; break;
        default: break;
    }
    if (!copy_ || !header->encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 105);
        return false;
    }
    first_ = first;
    count_ = count;
    width_ = header->width;
    return set_output(header, count, count == 2 ? VRX_ColorType::unknown() : color);
}

void VRX_SelectNChannel8xNbitsEngine::select(const unsigned char* in, unsigned char* out) {
    copy_(in, channels_, first_, count_, width_, out);
}

}  // namespace vrx
