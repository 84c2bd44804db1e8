#pragma once
// The fast area reduction of the width by a ratio that is not whole: the
// same spans, weights, fallback test and results as VRX_ScaleWidthPPREngine,
// built by the fast front end on processors with SSE2.
#include <cstdint>

#include "vrx/core/scale/vrx_ppprojection.h"
#include "vrx/core/scale/vrx_scalewidthengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleWidthPPFastREngine : public VRX_ScaleWidthEngine {
public:
    explicit VRX_ScaleWidthPPFastREngine(VRX_Manager* manager) : VRX_ScaleWidthEngine(manager) {}
    ~VRX_ScaleWidthPPFastREngine() override = default;

    // Gives the tables back, then as a process engine.
    bool terminate() override;
    // One line per call.
    bool execute() override;
    // Version test (0x80040000); the width base (target 0: 0x80800000); raw,
    // palette-free u_integer samples of T's width (0x81000000); the tables.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t width) override;

    // Whether the Q12 form computes in double.
    bool fallback() const { return table_.fallback(); }

private:
    projection::WidthReduction<T, C> table_;
};

}  // namespace vrx
