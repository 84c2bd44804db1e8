#pragma once
// Linear interpolation along the width with Q12 weights: destination pixel
// i mixes the two source pixels around (i + 0.5) x r - 0.5 (r = source width
// / target width), the edge pixels repeated outside the line. Offsets and
// weights are fixed at initiate, packed into one word per destination pixel.
#include <cstdint>
#include <type_traits>

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/core/scale/vrx_scalewidthengine.h"

namespace vrx {

// T: unsigned char, unsigned short, char or short; C: VRX_FixedReal12 only.
template <class T, class C>
class VRX_ScaleWidthLIEngine : public VRX_ScaleWidthEngine {
    static_assert(std::is_same_v<C, VRX_FixedReal12>, "Q12 weights only");

public:
    explicit VRX_ScaleWidthLIEngine(VRX_Manager* manager) : VRX_ScaleWidthEngine(manager) {}
    ~VRX_ScaleWidthLIEngine() override = default;

    // Gives the table and the padded line back, then as a process engine.
    bool terminate() override;
    // One source line in, one destination line out.
    bool execute() override;
    // Version test (0x80040000); the width base (target 0: 0x80800000); raw,
    // palette-free u_integer or s_integer samples of T's width (0x81000000);
    // the padded line and the table.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t width) override;

    // Source lines whose padded form holds 2^19 samples or more keep their
    // offsets in a table of their own: the packed word has 20 offset bits.
    static constexpr uint32_t kPackedLimit = 1u << 19;

private:
    // The source line, one pixel in, with its first and last pixel repeated
    // on either side.
    T* padded_ = nullptr;
    // Per destination pixel: (offset << 12) + weight of the right neighbour
    // (0..4095); for wide lines only the weight.
    int32_t* entries_ = nullptr;
    // Wide lines: the offsets.
    uint32_t* offsets_ = nullptr;
    bool unsigned_ = false;
};

}  // namespace vrx
