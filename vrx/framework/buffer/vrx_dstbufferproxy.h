#pragma once
// The destination an engine is given at creation: it stands for the real
// buffer the workflow binds to it when the engine is registered, forwards
// every operation to it and owns it.
#include "vrx/framework/buffer/vrx_dstbufferimpl.h"

namespace vrx {

class VRX_DstBufferBase;

class VRX_DstBufferProxy : public VRX_DstBufferImpl {
public:
    using VRX_DstBufferImpl::VRX_DstBufferImpl;
    // The target is not touched.
    ~VRX_DstBufferProxy() override = default;

    // Closes a bound target to a new producer block size, then releases the proxy.
    bool destroy() override;
    // Destroys the target.
    bool terminate() override;

    uint32_t get_block_bytes() override;
    // Without a target the size is kept for the binding (0 refused with 0x80800000).
    bool block_bytes(uint32_t bytes) override;
    unsigned char* get() override;
    bool release(uint32_t bytes) override;
    uint32_t get_src_block_bytes() override;
    bool src_block_bytes(uint32_t bytes) override;
    bool read(void* memory, uint32_t position, uint32_t& count) override;
    const unsigned char* src_get(uint32_t position, uint32_t& count) override;
    bool src_release(VRX_SrcBuffer* reader, uint32_t position) override;
    bool src_end(VRX_SrcBuffer* reader) override;
    void producer_end() override;
    // Readers of the target bound to this proxy.
    VRX_Vector<VRX_SrcBuffer*> make_src_buffers(uint32_t count) override;
    VRX_SrcBuffer* make_src_buffer() override;
    bool initiate() override { return true; }
    bool initiate(uint32_t capacity) override;

    // Binds the real buffer: passes the kept block size on, makes this proxy
    // the target's owner and keeps the target. False for a null target or
    // when the target refuses the block size.
    bool set_target(VRX_DstBufferBase* target);
    VRX_DstBufferBase* target() const { return target_; }

private:
    // Reports 0x80080000 for an operation that needs a target.
    bool need_target(const char* function);

    VRX_DstBufferBase* target_ = nullptr;
    uint32_t block_bytes_ = 0;
};

}  // namespace vrx
