#pragma once
// Output side of an engine: the output header and the destination buffer.
#include "vrx/framework/engine/vrx_engine.h"

namespace vrx {

class VRX_DstBuffer;

class VRX_BufferOutputEngine : public VRX_Engine {
public:
    explicit VRX_BufferOutputEngine(VRX_Manager* manager);
    ~VRX_BufferOutputEngine() override = default;

    // Tells a library destination buffer that its producer ends, then as the engine.
    bool destroy() override;
    // Destroys the destination buffer when initiated.
    bool terminate() override;
    const VRX_Header* header() override { return &header_; }
    VRX_SrcBuffer* src_buffer() override;
    VRX_Vector<VRX_Engine*> branch(uint32_t count) override;

    // Needs is_good (else false without a report); copies the header into the
    // output header and keeps the destination.
    virtual bool initiate(const VRX_Header* header, VRX_DstBuffer* dst);

    VRX_DstBuffer* dst_buffer() const { return dst_buffer_; }

protected:
    VRX_Header header_;
    VRX_DstBuffer* dst_buffer_ = nullptr;
};

}  // namespace vrx
