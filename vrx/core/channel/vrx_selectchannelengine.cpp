#include "vrx/core/channel/vrx_selectchannelengine.h"

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_SelectChannelEngine::begin(const VRX_Header* header, VRX_SrcBuffer* src,
                                    VRX_DstBuffer* dst, const char* function, const char* file,
                                    uint32_t line) {
    return check_version(VRX_INTERFACE_VERSION, function, file, line) &&
           VRX_ProcessEngine::initiate(header, src, dst);
}

bool VRX_SelectChannelEngine::set_output(const VRX_Header* header, uint16_t channels,
                                         const VRX_ColorType* color) {
    header_.channels = channels;
    if (!header_.color_type(color)) return false;
    uint32_t source_bytes = 0;
    return header->line_bytes(source_bytes) && header_.line_bytes(output_bytes_) &&
           src_buffer_->block_bytes(source_bytes) && dst_buffer_->block_bytes(output_bytes_);
}

bool VRX_SelectChannelEngine::execute() {
    if (lines_ >= header_.height) return false;
    ++lines_;
    const unsigned char* in = src_buffer_->get();
    if (!in) return false;
    unsigned char* out = dst_buffer_->get();
    if (!out) {
        src_buffer_->release();
        return false;
    }
    select(in, out);
    const bool released = src_buffer_->release();
    return dst_buffer_->release(output_bytes_) && released;
}

bool channel_fits(uint16_t channels, uint16_t channel, const VRX_ColorType* color) {
    return channel < channels && color && color->channels() == 1;
}

bool selection_fits(uint16_t channels, uint16_t first, uint16_t count, const VRX_ColorType* color) {
    // In 32 bits: in 16, first 65535 with count 2 would wrap to 1.
    return uint32_t{first} + count <= channels && count != 0 &&
           (count == 2 || (color && color->channels() == count));
}

void select_bits(const unsigned char* in, uint32_t channels, uint32_t first, uint32_t count,
                 uint32_t from, uint32_t width, unsigned char* out) {
    // Bit positions in 64 bits: a line of 2^32 - 1 bytes holds more bits
    // than 32 bits can count.
    uint64_t s = uint64_t{from} * channels + first;
    uint64_t d = uint64_t{from} * count;
    for (uint32_t p = from; p < width; ++p, s += channels - count) {
        for (uint32_t k = 0; k < count; ++k, ++s, ++d) {
            const unsigned bit = (in[s >> 3] >> (7 - (s & 7))) & 1u;
            out[d >> 3] |= static_cast<unsigned char>(bit << (7 - (d & 7)));
        }
    }
}

}  // namespace vrx
