#pragma once
// Base of the engines that scale the width of run-length images: the whole
// source in a run buffer, the width ratio and the line count.
#include <cstdint>

#include "vrx/core/qmrle/vrx_qmrlerunline.h"
#include "vrx/core/scale/vrx_qmrlescaleengine.h"

namespace vrx {

class VRX_ScaleWidthQMRLEEngine : public VRX_QMRLEScaleEngine {
public:
    explicit VRX_ScaleWidthQMRLEEngine(VRX_Manager* manager)
        : VRX_QMRLEScaleEngine(manager), out_(manager) {}
    ~VRX_ScaleWidthQMRLEEngine() override = default;

    // Version test (0x80040000); the process initiate; a non-zero width
    // (0x80800000); a run-length image of one u_integer 1-bit channel
    // (0x81000000). The destination's block size becomes the run-array size
    // of the source width, and the run buffer is made.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t width);

protected:
    // Destination width / source width.
    double ratio_ = 0;
    uint32_t next_ = 0;
    uint32_t line_count_ = 0;
    // The runs of the line being written.
    VRX_QMRLERunLine out_;
};

}  // namespace vrx
