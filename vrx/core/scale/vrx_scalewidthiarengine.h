#pragma once
// Integer-ratio area averaging of the width: every destination sample is the
// rounded mean of a block of `ratio` source samples of its channel.
#include <cstdint>

#include "vrx/core/scale/vrx_scalewidthengine.h"

namespace vrx {

// T: unsigned char or unsigned short.
template <class T>
class VRX_ScaleWidthIAREngine : public VRX_ScaleWidthEngine {
public:
    explicit VRX_ScaleWidthIAREngine(VRX_Manager* manager) : VRX_ScaleWidthEngine(manager) {}
    ~VRX_ScaleWidthIAREngine() override = default;

    // One line per call.
    bool execute() override;
    // Version test (0x80040000); the width base (target 0: 0x80800000); raw,
    // palette-free u_integer samples of T's width (0x81000000); the ratio
    // source width / width (whole part) and its shift when a power of two.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t width) override;

    uint32_t ratio() const { return ratio_; }
    uint32_t shift() const { return shift_; }

private:
    uint32_t ratio_ = 0;
    uint32_t shift_ = 0;
};

}  // namespace vrx
