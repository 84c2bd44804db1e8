#pragma once
// Area enlargement of the height: every destination line is a copy of the
// source line under its interval, or the blend of the two lines the interval
// straddles, weighted by the shares of the interval. The last destination
// line is the last source line.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleheightppengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleHeightPPEEngine : public VRX_ScaleHeightPPEngine<T, C> {
public:
    explicit VRX_ScaleHeightPPEEngine(VRX_Manager* manager)
        : VRX_ScaleHeightPPEngine<T, C>(manager) {}
    ~VRX_ScaleHeightPPEEngine() override = default;

    // One destination line per call; false after the last one.
    bool execute() override;
    // Version test (0x80040000); the base; a height above the source's
    // (0x80800000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;
};

}  // namespace vrx
