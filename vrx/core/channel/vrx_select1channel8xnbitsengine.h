#pragma once
// Takes one channel out of an image of 8, 16, 32 or 64-bit samples: output
// sample p is source sample p x channels + channel, byte for byte.
#include "vrx/core/channel/vrx_selectchannelengine.h"

namespace vrx {

class VRX_Select1Channel8xNbitsEngine : public VRX_SelectChannelEngine {
public:
    explicit VRX_Select1Channel8xNbitsEngine(VRX_Manager* manager)
        : VRX_SelectChannelEngine(manager) {}
    ~VRX_Select1Channel8xNbitsEngine() override = default;

    // The version test and the process initiate; then channel below the
    // source's channels and a one-channel colour type (else 0x80800000);
    // then a raw source of 8, 16, 32 or 64 bits (else 0x81000000). The
    // output has one channel and the colour type `color`.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint16_t channel, const VRX_ColorType* color);
    using VRX_SelectChannelEngine::initiate;

protected:
    void select(const unsigned char* in, unsigned char* out) override;

private:
    SampleCopy copy_ = nullptr;
};

}  // namespace vrx
