#include "vrx/core/memory/vrx_writerawbytearrayengine.h"

#include "vrx/core/memory/vrx_memorylayout.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_WriteRawByteArrayEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                           void* memory, uint32_t size, uint32_t* written) {
    if (!check_version(VRX_INTERFACE_VERSION, "VRX_WriteRawByteArrayEngine::initiate()", __FILE__,
                       __LINE__))
        return false;
    if (!is_good() || !VRX_BufferInputEngine::initiate(header, src)) return false;
    if (!header->encode_type()->is_raw()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_WriteRawByteArrayEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    if (!memory || size == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_WriteRawByteArrayEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    position_ = static_cast<unsigned char*>(memory);
    remaining_ = size;
    height_ = header->height;
    mask_ = memory_last_byte_mask(*header);
    written_ = written ? written : &own_written_;
    *written_ = 0;
    uint32_t line = 0;
    if (!header->line_bytes(line)) return false;
    const platform::ByteCount image = memory_image_bytes(*header);
    short_ = !image.at_most(size);
    if (mask_ != 0xFF) return src->block_bytes(line);
    if (!image.fits<uint32_t>()) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_WriteRawByteArrayEngine::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    return src->block_bytes(static_cast<uint32_t>(image.value()));
}

bool VRX_WriteRawByteArrayEngine::execute() {
    ++calls_;
    const uint32_t block = src_buffer_->get_block_bytes();
    if (mask_ == 0xFF) {
        if (calls_ != 1) return false;
        if (short_) {
            manager_->report(VRX_ERROR_IO, "VRX_WriteRawByteArrayEngine::execute()", __FILE__,
                             __LINE__);
            return false;
        }
        if (!src_buffer_->get(position_)) return false;
        *written_ = block;
        return src_buffer_->release();
    }
    if (calls_ > height_) return false;
    if (block > remaining_) {
        manager_->report(VRX_ERROR_IO, "VRX_WriteRawByteArrayEngine::execute()", __FILE__,
                         __LINE__);
        return false;
    }
    if (!src_buffer_->get(position_)) return false;
    position_ += block;
    remaining_ -= block;
    *written_ += block;
    position_[-1] &= mask_;
    return src_buffer_->release();
}

}  // namespace vrx
