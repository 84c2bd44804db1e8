#include "vrx/core/channel/vrx_selectnchannel1bitengine.h"

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_SelectNChannel1bitEngine::initiate()";
}

bool VRX_SelectNChannel1bitEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                            VRX_DstBuffer* dst, uint16_t first, uint16_t count,
                                            const VRX_ColorType* color) {
    if (!begin(header, src, dst, kInitiateText, __FILE__, 84)) return false;
    channels_ = header->channels;
    if (!selection_fits(channels_, first, count, color)) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 96);
        return false;
    }
    if (!header->data_type()->is_u_integer() || !header->encode_type()->is_raw() ||
        header->bits != 1) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 102);
        return false;
    }
    first_ = first;
    count_ = count;
    width_ = header->width;
    return set_output(header, count, count == 2 ? VRX_ColorType::unknown() : color);
}

void VRX_SelectNChannel1bitEngine::select(const unsigned char* in, unsigned char* out) {
    std::memset(out, 0, output_bytes_);
    select_bits(in, channels_, first_, count_, 0, width_, out);
}

}  // namespace vrx
