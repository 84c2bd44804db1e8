#pragma once
// Takes `count` adjacent channels from `first` out of a packed one-bit image:
// output bit p x count + k is source bit p x channels + first + k.
#include "vrx/core/channel/vrx_selectchannelengine.h"

namespace vrx {

class VRX_SelectNChannel1bitEngine : public VRX_SelectChannelEngine {
public:
    explicit VRX_SelectNChannel1bitEngine(VRX_Manager* manager)
        : VRX_SelectChannelEngine(manager) {}
    ~VRX_SelectNChannel1bitEngine() override = default;

    // The version test and the process initiate; then first + count at most
    // the source's channels, count not 0 and, unless count is 2, a colour
    // type of count channels (else 0x80800000); then a raw unsigned one-bit
    // source (else 0x81000000). The output has count channels and the
    // colour type `color`, or unknown for two channels.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint16_t first, uint16_t count, const VRX_ColorType* color);
    using VRX_SelectChannelEngine::initiate;

protected:
    void select(const unsigned char* in, unsigned char* out) override;
};

}  // namespace vrx
