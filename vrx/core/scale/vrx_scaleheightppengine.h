#pragma once
// Base of the area engines that change the height by enlargement (E) or by a
// reduction of a ratio that is not whole (R): the accepted images, one source
// line of samples as the line buffer, and the ratio.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleheightengine.h"

namespace vrx {

// T: unsigned char or unsigned short; C: double or VRX_FixedReal12.
template <class T, class C>
class VRX_ScaleHeightPPEngine : public VRX_ScaleHeightEngine {
public:
    explicit VRX_ScaleHeightPPEngine(VRX_Manager* manager) : VRX_ScaleHeightEngine(manager) {}
    ~VRX_ScaleHeightPPEngine() override = default;

    // Gives the line buffer back, then as a process engine.
    bool terminate() override;
    // The height base (target 0: 0x80800000); raw, palette-free u_integer
    // samples of T's width (0x81000000); the line buffer.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;

protected:
    // The most recently read source line.
    T* line_ = nullptr;
    uint32_t samples_ = 0;
};

}  // namespace vrx
