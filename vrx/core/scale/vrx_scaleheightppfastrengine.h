#pragma once
// The fast area reduction of the height by a ratio that is not whole: the
// results of VRX_ScaleHeightPPREngine, with the sums of whole lines formed by
// SSE2 kernels. Built by the fast front end on processors with SSE2.
#include <cstdint>

#include "vrx/core/scale/vrx_ppprojection.h"
#include "vrx/core/scale/vrx_scaleheightengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleHeightPPFastREngine : public VRX_ScaleHeightEngine {
public:
    explicit VRX_ScaleHeightPPFastREngine(VRX_Manager* manager) : VRX_ScaleHeightEngine(manager) {}
    ~VRX_ScaleHeightPPFastREngine() override = default;

    // Gives the line buffer and the sums back, then as a process engine.
    bool terminate() override;
    // One destination line per call; false after the last one.
    bool execute() override;
    // Version test (0x80040000); the height base (target 0: 0x80800000); raw,
    // palette-free u_integer samples of T's width (0x81000000); the line
    // buffer and the sums.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;

private:
    projection::HeightReduction<T, C> sums_;
    T* line_ = nullptr;
    uint32_t samples_ = 0;
};

}  // namespace vrx
