#include "vrx/core/channel/vrx_selectchannelengine.h"

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

// Whether `count` channels from `first` lie inside `channels` and the colour
// type describes them.
bool selection_fits(uint16_t channels, uint16_t first, uint16_t count, const VRX_ColorType* color) {
    // In 32 bits: in 16, first 65535 with count 2 would wrap to 1.
    return uint32_t{first} + count <= channels && count != 0 &&
           (count == 2 || (color && color->channels() == count));
}

bool format_fits(const VRX_Header& header, bool one_bit) {
    if (!header.encode_type()->is_raw()) return false;
    if (one_bit) return header.bits == 1 && header.data_type()->is_u_integer();
    return header.bits == 8 || header.bits == 16 || header.bits == 32 || header.bits == 64;
}

}  // namespace

bool VRX_SelectChannelEngine::initiate_selection(const VRX_Header* header, VRX_SrcBuffer* src,
                                                 VRX_DstBuffer* dst, uint16_t first, uint16_t count,
                                                 const VRX_ColorType* color, bool one_bit,
                                                 const Refusals& refusals) {
    if (!check_version(VRX_INTERFACE_VERSION, refusals.function, refusals.file,
                       refusals.version_line) ||
        !VRX_ProcessEngine::initiate(header, src, dst))
        return false;
    bits_ = header->bits;
    channels_ = header->channels;
    if (!selection_fits(channels_, first, count, color)) {
        manager_->report(VRX_ERROR_ARGUMENT, refusals.function, refusals.file,
                         refusals.argument_line);
        return false;
    }
    if (!format_fits(*header, one_bit)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, refusals.function, refusals.file,
                         refusals.format_line);
        return false;
    }
    first_ = first;
    count_ = count;
    width_ = header->width;
    header_.channels = count;
    if (!header_.color_type(count == 2 ? VRX_ColorType::unknown() : color)) return false;
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
