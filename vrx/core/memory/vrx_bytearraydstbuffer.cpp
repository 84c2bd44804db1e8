#include "vrx/core/memory/vrx_bytearraydstbuffer.h"

#include <algorithm>
#include <cstring>

#include "vrx/core/memory/vrx_memorylayout.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ByteArrayDstBuffer::initiate(const VRX_Header* header, const void* memory, uint32_t size,
                                      uint32_t* read) {
    if (!header || !memory || size == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ByteArrayDstBuffer::initiate()", __FILE__,
                         __LINE__);
        return false;
    }
    memory_ = static_cast<const unsigned char*>(memory);
    size_ = size;
    read_ = read ? read : &own_read_;
    *read_ = 0;
    short_ = header->encode_type()->is_raw() && !memory_image_bytes(*header).at_most(size);
    return true;
}

bool VRX_ByteArrayDstBuffer::initiate(uint32_t) {
    manager_->report(VRX_ERROR_STATE, "VRX_ByteArrayDstBuffer::initiate()", __FILE__, __LINE__);
    return false;
}

bool VRX_ByteArrayDstBuffer::set_size(uint32_t& size, uint32_t bytes, bool fixed,
                                      const char* function) {
    if (fixed) {
        manager_->report(VRX_ERROR_STATE, function, __FILE__, __LINE__);
        return false;
    }
    if (bytes == 0) {
        manager_->report(VRX_ERROR_ARGUMENT, function, __FILE__, __LINE__);
        return false;
    }
    size = bytes;
    return true;
}

bool VRX_ByteArrayDstBuffer::block_bytes(uint32_t bytes) {
    return set_size(block_bytes_, bytes, src_block_bytes_ != 0,
                    "VRX_ByteArrayDstBuffer::block_bytes()");
}

unsigned char* VRX_ByteArrayDstBuffer::get() {
    manager_->report(VRX_ERROR_STATE, "VRX_ByteArrayDstBuffer::get()", __FILE__, __LINE__);
    return nullptr;
}

bool VRX_ByteArrayDstBuffer::release(uint32_t) {
    manager_->report(VRX_ERROR_STATE, "VRX_ByteArrayDstBuffer::release()", __FILE__, __LINE__);
    return false;
}

bool VRX_ByteArrayDstBuffer::src_block_bytes(uint32_t bytes) {
    return set_size(src_block_bytes_, bytes, *read_ != 0,
                    "VRX_ByteArrayDstBuffer::src_block_bytes()");
}

const unsigned char* VRX_ByteArrayDstBuffer::src_get(uint32_t position, uint32_t& count) {
    count = 0;
    if (position >= size_) {
        if (short_)
            manager_->report(VRX_ERROR_DATA, "VRX_ByteArrayDstBuffer::src_get()", __FILE__,
                             __LINE__);
        return nullptr;
    }
    const uint32_t n = std::min(size_ - position, src_block_bytes_);
    if (n < src_block_bytes_ && short_) {
        manager_->report(VRX_ERROR_DATA, "VRX_ByteArrayDstBuffer::src_get()", __FILE__, __LINE__);
        return nullptr;
    }
    count = n;
    *read_ = std::max(*read_, position + n);
    return memory_ + position;
}

bool VRX_ByteArrayDstBuffer::read(void* memory, uint32_t position, uint32_t& count) {
    const unsigned char* bytes = src_get(position, count);
    if (!bytes) return false;
    std::memcpy(memory, bytes, count);
    return true;
}

}  // namespace vrx
