#pragma once
// Bilinear reduction of both axes in one pass with Q12 weights: destination
// pixel (i, j) mixes the four source pixels around ((i + 0.5) x rx - 0.5,
// (j + 0.5) x ry - 0.5). Only the two source lines around the current
// destination line are held. When both ratios are even whole numbers every
// destination sample is the rounded mean of the 2 x 2 samples at the centre
// of its block.
#include <cstdint>
#include <type_traits>

#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

// T: unsigned char, unsigned short, char or short; C: VRX_FixedReal12 only.
template <class T, class C>
class VRX_ScaleShrinkLIEngine : public VRX_ProcessEngine {
    static_assert(std::is_same_v<C, VRX_FixedReal12>, "Q12 weights only");

public:
    explicit VRX_ScaleShrinkLIEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ScaleShrinkLIEngine() override = default;

    // Gives both tables back, then as a process engine.
    bool terminate() override;
    // One destination line per call; false after the last one.
    bool execute() override;
    // Version test (0x80040000); the process initiate; raw, palette-free
    // u_integer or s_integer samples of T's width (0x81000000); both target
    // sizes non-zero and smaller than the source's (0x80800000); the tables
    // and one line of each side as block sizes.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t width, uint32_t height);

private:
    template <bool Unsigned>
    void interpolate_line(T* out, int32_t fy) const;
    template <bool Unsigned>
    void mean_line(T* out) const;

    uint32_t* offsets_ = nullptr;
    int32_t* fractions_ = nullptr;
    uint32_t src_height_ = 0;
    uint32_t dst_height_ = 0;
    uint32_t dst_width_ = 0;
    uint32_t channels_ = 0;
    uint32_t dst_line_bytes_ = 0;
    double y_position_ = 0;
    double y_ratio_ = 0;
    // The column step of the 2 x 2 mean when both ratios are even whole
    // numbers (the column ratio taken to 1/4096), else 0.
    uint32_t even_step_ = 0;
    uint32_t upper_index_ = 0;
    uint32_t written_ = 0;
    const T* upper_ = nullptr;
    const T* lower_ = nullptr;
    bool unsigned_ = false;
};

}  // namespace vrx
