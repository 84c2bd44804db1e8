#pragma once
// Linear interpolation along the height with Q12 weights: destination line
// j mixes the two source lines around (j + 0.5) x r - 0.5 (r = source height
// / target height), the first and last lines repeated beyond the edges. Three
// source lines are kept in a ring buffer; every source line is read at most
// once and none below the last one needed.
#include <cstdint>
#include <type_traits>

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/core/scale/vrx_scaleheightengine.h"

namespace vrx {

class VRX_RingBufferOutlineCopy;

// T: unsigned char, unsigned short, char or short; C: VRX_FixedReal12 only.
template <class T, class C>
class VRX_ScaleHeightLIEngine : public VRX_ScaleHeightEngine {
    static_assert(std::is_same_v<C, VRX_FixedReal12>, "Q12 weights only");

public:
    explicit VRX_ScaleHeightLIEngine(VRX_Manager* manager) : VRX_ScaleHeightEngine(manager) {}
    ~VRX_ScaleHeightLIEngine() override = default;

    // Destroys the ring buffer, then as a process engine.
    bool terminate() override;
    // One destination line per call; false after the last one.
    bool execute() override;
    // Version test (0x80040000); the height base (target 0: 0x80800000);
    // raw, palette-free u_integer or s_integer samples of T's width
    // (0x81000000); the ring buffer of three lines.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;

private:
    VRX_RingBufferOutlineCopy* ring_ = nullptr;
    uint32_t samples_ = 0;
    bool unsigned_ = false;
};

}  // namespace vrx
