#pragma once
// Takes one channel out of a packed one-bit image: output bit p is source
// bit p x channels + channel. Three and four-channel sources build one
// output byte from the three or four source bytes of 8 pixels at a time.
#include "vrx/core/channel/vrx_selectchannelengine.h"

namespace vrx {

class VRX_Select1Channel1bitEngine : public VRX_SelectChannelEngine {
public:
    explicit VRX_Select1Channel1bitEngine(VRX_Manager* manager)
        : VRX_SelectChannelEngine(manager) {}
    ~VRX_Select1Channel1bitEngine() override = default;

    // The version test and the process initiate; then channel below the
    // source's channels and a one-channel colour type (else 0x80800000);
    // then a raw unsigned one-bit source (else 0x81000000). The output has
    // one channel and the colour type `color`.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint16_t channel, const VRX_ColorType* color);
    using VRX_SelectChannelEngine::initiate;

protected:
    void select(const unsigned char* in, unsigned char* out) override;
};

}  // namespace vrx
