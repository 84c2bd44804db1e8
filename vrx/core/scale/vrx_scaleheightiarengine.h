#pragma once
// Integer-ratio area averaging of the height: every destination line is the
// rounded mean of a block of `ratio` source lines. Source lines are read
// straight into the destination block and summed in one line of sums.
#include <cstdint>

#include "vrx/core/scale/vrx_scaleheightengine.h"

namespace vrx {

// T: unsigned char or unsigned short.
template <class T>
class VRX_ScaleHeightIAREngine : public VRX_ScaleHeightEngine {
public:
    explicit VRX_ScaleHeightIAREngine(VRX_Manager* manager) : VRX_ScaleHeightEngine(manager) {}
    ~VRX_ScaleHeightIAREngine() override = default;

    // Gives the sums back, then as a process engine.
    bool terminate() override;
    // One destination line per call; false after the last one.
    bool execute() override;
    // Version test (0x80040000); the height base (target 0: 0x80800000); raw,
    // palette-free u_integer samples of T's width (0x81000000); the ratio,
    // its shift and the line of sums.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  uint32_t height) override;

    uint32_t ratio() const { return ratio_; }
    uint32_t shift() const { return shift_; }

private:
    template <class S>
    bool average(T* d);

    uint32_t samples_ = 0;
    uint32_t ratio_ = 0;
    uint32_t shift_ = 0;
    // One sum a sample, as wide as the ratio needs.
    void* sums_ = nullptr;
};

}  // namespace vrx
