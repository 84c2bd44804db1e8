#pragma once
// Column crop of samples of 8, 16, 32 or 64 bits: one byte copy per line.
#include "vrx/core/crop/vrx_cropwidthengine.h"

namespace vrx {

class VRX_CropWidth8xNBitsEngine : public VRX_CropWidthEngine {
public:
    explicit VRX_CropWidth8xNBitsEngine(VRX_Manager* manager) : VRX_CropWidthEngine(manager) {}
    ~VRX_CropWidth8xNBitsEngine() override = default;

    // Version test (0x80040000); the base; u_integer, s_integer or floating
    // samples of 8, 16, 32 or 64 bits (0x81000000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint32_t x,
                  uint32_t width) override;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;
};

}  // namespace vrx
