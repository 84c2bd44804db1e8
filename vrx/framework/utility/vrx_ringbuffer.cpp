#include "vrx/framework/utility/vrx_ringbuffer.h"

#include <cstring>

#include "platform/byte_count.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {
namespace {

constexpr uint32_t kArgumentLine = 58;
constexpr uint32_t kFormatLine = 78;

bool supported_samples(const VRX_Header& header) {
    const VRX_DataType* type = header.data_type();
    const uint16_t bits = header.bits;
    if (type == VRX_DataType::u_integer() || type == VRX_DataType::s_integer())
        return bits == 8 || bits == 16 || bits == 32;
    if (type == VRX_DataType::floating()) return bits == 32 || bits == 64;
    return false;
}

}  // namespace

bool VRX_RingBuffer::initiate(VRX_SrcBuffer* src, const VRX_Header* header,
                              const VRX_KernelAttr& kernel) {
    auto refuse = [this](uint32_t code, uint32_t line) {
        manager_->report(code, "VRX_RingBuffer::initiate()", __FILE__, line);
        return false;
    };
    if (!src || !header || kernel.width == 0 || kernel.height == 0 ||
        kernel.anchor_x >= kernel.width || kernel.anchor_y >= kernel.height)
        return refuse(VRX_ERROR_ARGUMENT, kArgumentLine);
    if (!header->is_valid() || !header->encode_type()->is_raw() || !supported_samples(*header))
        return refuse(VRX_ERROR_UNSUPPORTED, kFormatLine);

    const platform::ByteCount pixel = platform::ByteCount(header->channels) * header->bits / 8;
    const platform::ByteCount image_line = pixel * header->width;
    const platform::ByteCount line =
        (platform::ByteCount(kernel.width) + header->width - 1) * pixel;
    const platform::ByteCount block = line * kernel.height;
    // Every offset into a line and the whole window must be counted in 32 bits.
    if (!block.fits<uint32_t>() || !image_line.fits<uint32_t>())
        return refuse(VRX_ERROR_ARGUMENT, kArgumentLine);

    source_ = src;
    width_ = header->width;
    height_ = header->height;
    pixel_bytes_ = static_cast<uint32_t>(pixel.value());
    kernel_ = kernel;
    left_margin_ = pixel_bytes_ * kernel.anchor_x;
    last_pixel_ = (width_ + kernel.anchor_x - 1) * pixel_bytes_;
    line_bytes_ = static_cast<uint32_t>(line.value());
    line_count_ = kernel.height;
    anchor_line_ = kernel.anchor_y;

    line_block_ = static_cast<unsigned char*>(manager_->allocate(block.value()));
    if (!line_block_) return false;
    lines_ = static_cast<unsigned char**>(manager_->allocate(sizeof(unsigned char*) * line_count_));
    if (!lines_) return false;
    for (uint32_t k = 0; k < line_count_; ++k) lines_[k] = line_block_ + size_t{k} * line_bytes_;
    return src->block_bytes(static_cast<uint32_t>(image_line.value()));
}

bool VRX_RingBuffer::terminate() {
    manager_->deallocate(lines_);
    lines_ = nullptr;
    manager_->deallocate(line_block_);
    line_block_ = nullptr;
    return true;
}

bool VRX_RingBuffer::fill_line(unsigned char* line) {
    if (!source_->get(line + left_margin_) || !source_->release()) return false;
    ++lines_delivered_;
    const uint32_t pb = pixel_bytes_;
    for (uint32_t offset = left_margin_; offset != 0; offset -= pb)
        std::memcpy(line + offset - pb, line + left_margin_, pb);
    for (uint32_t offset = last_pixel_ + pb; offset < line_bytes_; offset += pb)
        std::memcpy(line + offset, line + last_pixel_, pb);
    return true;
}

void VRX_RingBuffer::copy_line(unsigned char* to, const unsigned char* from) const {
    std::memcpy(to, from, line_bytes_);
}

}  // namespace vrx
