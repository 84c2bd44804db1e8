#pragma once
// Takes `count` adjacent channels from `first` out of an image of 8, 16, 32
// or 64-bit samples, byte for byte and in their source order.
#include "vrx/core/channel/vrx_selectchannelengine.h"

namespace vrx {

class VRX_SelectNChannel8xNbitsEngine : public VRX_SelectChannelEngine {
public:
    explicit VRX_SelectNChannel8xNbitsEngine(VRX_Manager* manager)
        : VRX_SelectChannelEngine(manager) {}
    ~VRX_SelectNChannel8xNbitsEngine() override = default;

    // The version test and the process initiate; then first + count at most
    // the source's channels, count not 0 and, unless count is 2, a colour
    // type of count channels (else 0x80800000); then a raw source of 8, 16,
    // 32 or 64 bits (else 0x81000000). The output has count channels and the
    // colour type `color`, or unknown for two channels.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint16_t first, uint16_t count, const VRX_ColorType* color);
    using VRX_SelectChannelEngine::initiate;

protected:
    void select(const unsigned char* in, unsigned char* out) override;

private:
    SampleCopy copy_ = nullptr;
};

}  // namespace vrx
