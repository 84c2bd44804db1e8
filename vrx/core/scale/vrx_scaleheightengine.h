#pragma once
// Base of the engines that scale the height: the target height, the output
// header, the ratio of the heights and one line as the block size of both
// sides.
#include <cstdint>

#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_ScaleHeightEngine : public VRX_ProcessEngine {
public:
    explicit VRX_ScaleHeightEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ScaleHeightEngine() override = default;

    // The process initiate; a non-zero height (0x80800000); the output
    // height, the line size and ratio = source height / height; one line as
    // the source's block size and then as the destination's.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t height);

    uint32_t line_bytes() const { return line_bytes_; }
    double ratio() const { return ratio_; }

protected:
    uint32_t src_height_ = 0;
    uint32_t dst_height_ = 0;
    uint32_t line_bytes_ = 0;
    double position_ = 0;
    double ratio_ = 0;
    // For the derived engines (nearest neighbour: source lines consumed and
    // destination lines produced).
    uint32_t consumed_ = 0;
    uint32_t produced_ = 0;
};

}  // namespace vrx
