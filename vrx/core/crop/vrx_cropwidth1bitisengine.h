#pragma once
// Column crop of packed 1-bit lines whose kept part starts inside a byte:
// every output byte is merged from two source bytes.
#include <cstdint>

#include "vrx/core/crop/vrx_cropwidth1bitengine.h"

namespace vrx {

class VRX_CropWidth1BitISEngine : public VRX_CropWidth1BitEngine {
public:
    explicit VRX_CropWidth1BitISEngine(VRX_Manager* manager) : VRX_CropWidth1BitEngine(manager) {}
    ~VRX_CropWidth1BitISEngine() override = default;

    // Version test (0x80040000); the base; (channels x x) mod 8 != 0
    // (0x81000000); the shifts.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint32_t x,
                  uint32_t width) override;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    uint32_t src_bytes_ = 0;
    uint8_t left_ = 0;
    uint8_t right_ = 0;
};

}  // namespace vrx
