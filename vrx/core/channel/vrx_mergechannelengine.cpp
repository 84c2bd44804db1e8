#include "vrx/core/channel/vrx_mergechannelengine.h"

#include <cstring>

#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_MergeChannelEngine::initiate()";
}

bool VRX_MergeChannelEngine::initiate(const VRX_Vector<const VRX_Header*>& headers,
                                      const VRX_Vector<VRX_SrcBuffer*>& sources,
                                      VRX_DstBuffer* dst, const VRX_ColorType* color) {
    if (!VRX_MultiInputProcessEngine::initiate(headers, sources, dst)) return false;
    const size_t count = size();
    for (size_t i = 0; i < count; ++i) {
        const VRX_Header* input = header(i);
        if (!input->encode_type()->is_raw() || !input->palette().empty()) {
            manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 58);
            return false;
        }
    }
    uint32_t channels = 0;
    for (size_t i = 0; i < count; ++i) {
        const VRX_Header* input = header(i);
        if (i > 0) {
            const VRX_Header* before = header(i - 1);
            if (input->data_type() != before->data_type() || input->bits != before->bits ||
                input->height != before->height || input->width != before->width) {
                manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 79);
                return false;
            }
        }
        channels += input->channels;
    }
    const VRX_Header* first = header(0);
    bits_ = first->bits;
    width_ = first->width;
    height_ = first->height;
    // A sum beyond the channel field cannot describe an image.
    const bool fits = channels <= 0xFFFFu;
    header_.channels = static_cast<uint16_t>(fits ? channels : 0);
    if (!header_.color_type(color)) return false;
    if (!fits || !header_.is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 100);
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        uint32_t bytes = 0;
        if (!header(i)->line_bytes(bytes) || !src_buffer(i)->block_bytes(bytes)) return false;
    }
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

bool VRX_MergeChannelEngine::execute() {
    if (++lines_ > height_) return false;
    unsigned char* output = dst_buffer_->get();
    if (!output) return false;
    uint32_t output_bytes = 0;
    header_.line_bytes(output_bytes);
    if (clears_output()) std::memset(output, 0, output_bytes);
    const unsigned char** inputs = input_lines();
    const size_t count = size();
    for (size_t k = 0; k < count; ++k) {
        inputs[k] = src_buffer(k)->get();
        if (!inputs[k]) {
            for (size_t j = 0; j < k; ++j) src_buffer(j)->release();
            dst_buffer_->release(0);
            return false;
        }
    }
    merge(inputs, output);
    bool ok = true;
    for (size_t k = 0; k < count; ++k) ok = src_buffer(k)->release() && ok;
    return dst_buffer_->release(output_bytes) && ok;
}

}  // namespace vrx
