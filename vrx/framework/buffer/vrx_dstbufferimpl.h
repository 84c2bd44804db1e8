#pragma once
// Common part of the library's destination buffers: making their readers.
#include "vrx/framework/buffer/vrx_dstbuffer.h"

namespace vrx {

class VRX_DstBufferImpl : public VRX_DstBuffer {
public:
    using VRX_DstBuffer::VRX_DstBuffer;
    ~VRX_DstBufferImpl() override = default;

    // `count` readers bound to `target` (count 0 refused with 0x80800000); all
    // or none: on a failure the readers made so far are destroyed.
    VRX_Vector<VRX_SrcBuffer*> create_src_buffers(VRX_DstBuffer* target, uint32_t count) override;
    // One reader bound to `target`; refused with 0x80080000 once readers were made.
    VRX_SrcBuffer* create_src_buffer(VRX_DstBuffer* target) override;
    void producer_end() override {}
    VRX_Vector<VRX_SrcBuffer*> make_src_buffers(uint32_t count) override;
    VRX_SrcBuffer* make_src_buffer() override { return nullptr; }

    bool sources_made() const { return sources_made_; }

protected:
    // Records a new reader (the block buffer keeps a list of them).
    virtual bool add_reader(VRX_SrcBuffer* reader);

    bool sources_made_ = false;

private:
    VRX_SrcBuffer* new_reader(VRX_DstBuffer* target);
};

}  // namespace vrx
