#pragma once
// Column crop of packed 1-bit lines whose kept part starts on a byte
// boundary: a byte copy and the tail mask.
#include "vrx/core/crop/vrx_cropwidth1bitengine.h"

namespace vrx {

class VRX_CropWidth1BitBSEngine : public VRX_CropWidth1BitEngine {
public:
    explicit VRX_CropWidth1BitBSEngine(VRX_Manager* manager) : VRX_CropWidth1BitEngine(manager) {}
    ~VRX_CropWidth1BitBSEngine() override = default;

    // Version test (0x80040000); the base; (channels x x) mod 8 = 0 (0x81000000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint32_t x,
                  uint32_t width) override;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;
};

}  // namespace vrx
