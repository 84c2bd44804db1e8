#pragma once
// A destination buffer whose content is the caller's array: readers get
// pointers into the array, nothing is copied and no producer runs.
#include <cstdint>

#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/buffer/vrx_dstbufferimpl.h"

namespace vrx {

class VRX_ByteArrayDstBuffer : public VRX_DstBufferImpl {
public:
    explicit VRX_ByteArrayDstBuffer(VRX_Manager* manager) : VRX_DstBufferImpl(manager) {}
    ~VRX_ByteArrayDstBuffer() override = default;

    uint32_t get_block_bytes() override { return block_bytes_; }
    // Refused with 0x80080000 once a reader has set its block size; 0 refused
    // with 0x80800000.
    bool block_bytes(uint32_t bytes) override;
    // A producer cannot write into the array: 0x80080000, null / false.
    unsigned char* get() override;
    bool release(uint32_t bytes) override;
    uint32_t get_src_block_bytes() override { return src_block_bytes_; }
    // Refused with 0x80080000 once reading has begun; 0 refused with 0x80800000.
    bool src_block_bytes(uint32_t bytes) override;
    // src_get, then the bytes copied into memory; false when src_get gives null.
    bool read(void* memory, uint32_t position, uint32_t& count) override;
    // The array at `position`: at most one reader block, null at the end. A
    // raw image in an array shorter than the image reports 0x80400000 for a
    // read past the array or a short block.
    const unsigned char* src_get(uint32_t position, uint32_t& count) override;
    bool src_release(VRX_SrcBuffer*, uint32_t) override { return true; }
    bool src_end(VRX_SrcBuffer*) override { return true; }
    // Readers bound to this buffer itself.
    VRX_Vector<VRX_SrcBuffer*> make_src_buffers(uint32_t count) override {
        return create_src_buffers(this, count);
    }
    VRX_SrcBuffer* make_src_buffer() override { return create_src_buffer(this); }
    bool initiate() override { return true; }
    // A capacity has no meaning for the array: 0x80080000.
    bool initiate(uint32_t capacity) override;

    // The image and the array that holds it. A null header (a mend: it
    // would be read), null memory or zero size is refused with 0x80800000. The
    // count behind `read` (or an own count) is set to 0.
    virtual bool initiate(const VRX_Header* header, const void* memory, uint32_t size,
                          uint32_t* read);

    bool is_short() const { return short_; }
    uint32_t read_count() const { return *read_; }

private:
    // Sets a block size: refused with 0x80080000 when `fixed`, 0 with 0x80800000.
    bool set_size(uint32_t& size, uint32_t bytes, bool fixed, const char* function);

    uint32_t block_bytes_ = 0;
    uint32_t src_block_bytes_ = 0;
    const unsigned char* memory_ = nullptr;
    uint32_t size_ = 0;
    bool short_ = false;
    uint32_t* read_ = &own_read_;
    uint32_t own_read_ = 0;
};

}  // namespace vrx
