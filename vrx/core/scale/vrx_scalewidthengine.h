#pragma once
// Base of the engines that scale the width: the target width, the output
// header and one line of each side as the block sizes.
#include <cstdint>

#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_ScaleWidthEngine : public VRX_ProcessEngine {
public:
    explicit VRX_ScaleWidthEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ScaleWidthEngine() override = default;

    // The process initiate; a non-zero width (0x80800000); the output width
    // and the line sizes; one source line and one destination line as the
    // block sizes (both set, true when both succeed).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t width);

    uint32_t src_line_bytes() const { return src_line_bytes_; }
    uint32_t dst_line_bytes() const { return dst_line_bytes_; }

protected:
    uint32_t src_width_ = 0;
    uint32_t dst_width_ = 0;
    uint32_t channels_ = 0;
    uint32_t src_line_bytes_ = 0;
    uint32_t dst_line_bytes_ = 0;
};

}  // namespace vrx
