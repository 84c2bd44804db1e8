#pragma once
// Area reduction of the height by a ratio that is not whole: every
// destination line is the sum of the source lines its interval covers, the
// first and last weighted by the covered fraction, divided by the ratio.
#include <cstdint>

#include "vrx/core/scale/vrx_ppprojection.h"
#include "vrx/core/scale/vrx_scaleheightppengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleHeightPPREngine : public VRX_ScaleHeightPPEngine<T, C> {
public:
    explicit VRX_ScaleHeightPPREngine(VRX_Manager* manager)
        : VRX_ScaleHeightPPEngine<T, C>(manager) {}
    ~VRX_ScaleHeightPPREngine() override = default;

    // Gives the sums back, then as the base.
    bool terminate() override;
    // One destination line per call; false after the last one.
    bool execute() override;
    // Version test (0x80040000); the base; the line of sums.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;

private:
    projection::HeightReduction<T, C> sums_;
};

}  // namespace vrx
