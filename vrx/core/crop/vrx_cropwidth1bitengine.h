#pragma once
// Base of the column crops of packed 1-bit lines (first pixel in the most
// significant bit): the mask of the bits of the last output byte that belong
// to the image, so that padding bits come out 0.
#include <cstdint>

#include "vrx/core/crop/vrx_cropwidthengine.h"

namespace vrx {

class VRX_CropWidth1BitEngine : public VRX_CropWidthEngine {
public:
    explicit VRX_CropWidth1BitEngine(VRX_Manager* manager) : VRX_CropWidthEngine(manager) {}
    ~VRX_CropWidth1BitEngine() override = default;

    // The base; 1 bit per sample (0x81000000); the tail mask.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint32_t x,
                  uint32_t width) override;

protected:
    uint8_t tail_mask_ = 0xFF;
};

}  // namespace vrx
