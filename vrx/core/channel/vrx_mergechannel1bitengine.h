#pragma once
// Channel merge of one-bit, one-channel images: output bit p x N + i is bit p
// of input i (bits packed from the most significant bit of each byte).
#include "vrx/core/channel/vrx_mergechannelengine.h"

namespace vrx {

class VRX_MergeChannel1bitEngine : public VRX_MergeChannelEngine {
public:
    explicit VRX_MergeChannel1bitEngine(VRX_Manager* manager)
        : VRX_MergeChannelEngine(manager), lines_in_(manager) {}
    ~VRX_MergeChannel1bitEngine() override = default;

    // The merge initiate, then unsigned one-bit inputs of one channel each
    // (else 0x81000000).
    bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                  const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst,
                  const VRX_ColorType* color) override;
    using VRX_MergeChannelEngine::initiate;

protected:
    const unsigned char** input_lines() override { return lines_in_.data(); }
    void merge(const unsigned char* const* inputs, unsigned char* output) override;
    bool clears_output() const override { return true; }

private:
    VRX_Vector<const unsigned char*> lines_in_;
};

}  // namespace vrx
