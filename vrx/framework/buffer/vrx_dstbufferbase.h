#pragma once
// State shared by the library's real destination buffers: capacity, the
// producer's and the readers' block sizes, bytes written and the owner (the
// proxy under which the producer is registered).
#include "vrx/framework/buffer/vrx_dstbufferimpl.h"

namespace vrx {

class VRX_DstBufferBase : public VRX_DstBufferImpl {
public:
    enum State : uint32_t {
        state_new = 0,       // the producer may still set its block size
        state_closed = 1,    // closed to a new producer block size
        state_ready = 2,     // readers' block size known, no block out
        state_in_place = 3,  // a block is out for writing in place
        state_staging = 4,   // a block is out for writing in the staging area
    };

    using VRX_DstBufferImpl::VRX_DstBufferImpl;
    ~VRX_DstBufferBase() override = default;

    // Closes the buffer to a new producer block size.
    bool initiate() override;
    // The most bytes the producer may write; 0 refused with 0x80800000.
    bool initiate(uint32_t capacity) override;
    uint32_t get_block_bytes() override { return block_bytes_; }
    // Only while new (else 0x80080000); non-zero and at most the capacity (else 0x80800000).
    bool block_bytes(uint32_t bytes) override;
    uint32_t get_src_block_bytes() override { return src_block_bytes_; }
    // Non-zero (else 0x80800000); the buffer becomes ready.
    bool src_block_bytes(uint32_t bytes) override;

    VRX_DstBuffer* owner() const { return owner_; }
    void owner(VRX_DstBuffer* proxy) { owner_ = proxy; }
    uint32_t state() const { return state_; }
    uint32_t written() const { return written_; }
    uint32_t capacity() const { return capacity_; }

protected:
    uint32_t state_ = state_new;
    uint32_t written_ = 0;
    VRX_DstBuffer* owner_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t block_bytes_ = 0;
    uint32_t src_block_bytes_ = 0;
};

}  // namespace vrx
