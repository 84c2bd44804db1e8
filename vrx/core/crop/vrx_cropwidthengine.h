#pragma once
// Base of the column crops of raw images: keeps the columns x .. x + width -
// 1 of every line; the concrete engines copy the bytes or bits.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_CropWidthEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_CropWidthEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_CropWidthEngine() override = default;

    // The line-engine initiate; x inside the image and a non-zero width
    // (0x80800000); a width past the right edge is clamped. The output line
    // becomes the destination's block size.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t x, uint32_t width);

protected:
    uint32_t x_ = 0;
    uint32_t width_ = 0;
    uint32_t out_bytes_ = 0;
    // The byte of the source line that holds column x.
    uint32_t offset_ = 0;
};

}  // namespace vrx
