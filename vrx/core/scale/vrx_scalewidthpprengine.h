#pragma once
// Area reduction of the width by a ratio that is not whole: every
// destination pixel is the sum of the source pixels its interval covers, the
// first and last weighted by the covered fraction, divided by the ratio.
// Spans, weights and the choice between Q12 and double arithmetic are fixed
// at initiate.
#include <cstdint>

#include "vrx/core/scale/vrx_ppprojection.h"
#include "vrx/core/scale/vrx_scalewidthppengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleWidthPPREngine : public VRX_ScaleWidthPPEngine<T, C> {
public:
    explicit VRX_ScaleWidthPPREngine(VRX_Manager* manager)
        : VRX_ScaleWidthPPEngine<T, C>(manager) {}
    ~VRX_ScaleWidthPPREngine() override = default;

    // Gives the tables back, then as a process engine.
    bool terminate() override;
    // One line per call.
    bool execute() override;
    // Version test (0x80040000); the base; the tables.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t width) override;

    // Whether the Q12 form computes in double (its rounded inverse of the
    // ratio would move full scale by half a level or more).
    bool fallback() const { return table_.fallback(); }

private:
    projection::WidthReduction<T, C> table_;
};

}  // namespace vrx
