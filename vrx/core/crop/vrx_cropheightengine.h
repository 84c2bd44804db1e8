#pragma once
// Keeps the rows y .. y + height - 1 of a raw image: the rows above are read
// and dropped, the kept rows copied, the rows below never read.
#include <cstdint>

#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_CropHeightEngine : public VRX_ProcessEngine {
public:
    explicit VRX_CropHeightEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_CropHeightEngine() override = default;

    // One kept row per call; the call that writes the first kept row first
    // skips every row above it. False once the rows are done or a buffer
    // call failed.
    bool execute() override;
    // Version test (0x80040000); the process initiate; raw samples of 1, 8,
    // 16, 32 or 64 bits of u_integer, s_integer or floating (0x81000000); y
    // inside the image and a non-zero height (0x80800000). A height past the
    // bottom is clamped. Both block sizes become one line.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint32_t y,
                  uint32_t height);

private:
    uint32_t y_ = 0;
    uint32_t rows_ = 0;
    // Source rows consumed so far.
    uint32_t row_ = 0;
    uint32_t end_ = 0;
};

}  // namespace vrx
