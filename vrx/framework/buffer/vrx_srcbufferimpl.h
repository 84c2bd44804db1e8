#pragma once
// The library's reader of a destination buffer.
#include "vrx/framework/buffer/vrx_srcbuffer.h"

namespace vrx {

class VRX_SrcBufferImpl : public VRX_SrcBuffer {
public:
    using VRX_SrcBuffer::VRX_SrcBuffer;
    ~VRX_SrcBufferImpl() override = default;

    // Tells the destination that this reader ends.
    bool terminate() override;
    uint32_t get_block_bytes() override;
    bool block_bytes(uint32_t bytes) override;
    bool get(void* memory, uint32_t* count = nullptr) override;
    const unsigned char* get(uint32_t* count = nullptr) override;
    bool release() override;
    // Binds the destination (null refused with 0x80800000), takes the
    // producer's block size as its own and depends on the destination.
    bool initiate(VRX_DstBuffer* dst) override;

    uint32_t position() const { return position_; }

private:
    // Advances past `count` bytes just obtained; false (after reporting the
    // position) when a short block ends the read and no count was asked for.
    bool advance(uint32_t count, uint32_t* count_out);

    VRX_DstBuffer* dst_buffer_ = nullptr;
    uint32_t position_ = 0;
    uint32_t gets_ = 0;
    uint32_t releases_ = 0;
};

}  // namespace vrx
