#pragma once
// Base of the engines that scale the height of run-length images: the whole
// source in a run buffer, the height ratio and the lines produced.
#include <cstdint>

#include "vrx/core/scale/vrx_qmrlescaleengine.h"

namespace vrx {

class VRX_ScaleHeightQMRLEEngine : public VRX_QMRLEScaleEngine {
public:
    explicit VRX_ScaleHeightQMRLEEngine(VRX_Manager* manager) : VRX_QMRLEScaleEngine(manager) {}
    ~VRX_ScaleHeightQMRLEEngine() override = default;

    // Version test (0x80040000); the process initiate; a non-zero height
    // (0x80800000); a run-length image of one u_integer 1-bit channel
    // (0x81000000). Ratio = source height / height; the destination's block
    // size becomes the run-array size of the width, and the run buffer is
    // made.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t height);

protected:
    uint32_t next_ = 0;
    uint32_t produced_ = 0;
    double ratio_ = 0;
    double position_ = 0;
    uint32_t dst_height_ = 0;
    uint32_t src_height_ = 0;
};

}  // namespace vrx
