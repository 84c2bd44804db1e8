#pragma once
// Base of the area engines that change the width by enlargement (E) or by a
// reduction of a ratio that is not whole (R): the accepted images and the
// ratio.
#include <cstdint>

#include "vrx/core/scale/vrx_scalewidthengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleWidthPPEngine : public VRX_ScaleWidthEngine {
public:
    explicit VRX_ScaleWidthPPEngine(VRX_Manager* manager) : VRX_ScaleWidthEngine(manager) {}
    ~VRX_ScaleWidthPPEngine() override = default;

    // The width base (target 0: 0x80800000); raw, palette-free u_integer
    // samples of T's width (0x81000000); ratio = source width / width.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t width) override;

protected:
    double ratio_ = 0;
};

}  // namespace vrx
