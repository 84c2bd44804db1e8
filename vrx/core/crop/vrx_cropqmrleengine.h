#pragma once
// Crops a run-length image on both axes: reads the source line by line,
// clips the runs of the kept lines to the kept columns and writes them.
#include <cstdint>

#include "vrx/core/qmrle/vrx_qmrlerunline.h"
#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_QMRLELine;

class VRX_CropQMRLEEngine : public VRX_ProcessEngine {
public:
    explicit VRX_CropQMRLEEngine(VRX_Manager* manager)
        : VRX_ProcessEngine(manager), out_(manager) {}
    ~VRX_CropQMRLEEngine() override = default;

    // Destroys the line reader, then as a process engine.
    bool terminate() override;
    // One kept line per call; the call that writes the first kept line first
    // reads every line above it. False once the lines are done, when a line
    // cannot be read or written, or when an error is recorded.
    bool execute() override;
    // Version test (0x80040000); the rectangle starts inside the image and is
    // not empty (0x80800000); the process initiate; a run-length image of one
    // 1-bit channel (0x81000000). A rectangle past the edges is clamped. The
    // line reader is made and the destination's block size becomes the
    // run-array size of the output width.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint32_t x,
                  uint32_t y, uint32_t width, uint32_t height);

private:
    VRX_QMRLELine* reader_ = nullptr;
    uint32_t x0_ = 0;
    uint32_t x1_ = 0;
    uint32_t y0_ = 0;
    uint32_t y1_ = 0;
    // Source lines consumed so far.
    uint32_t row_ = 0;
    // The clipped runs of the line being written.
    VRX_QMRLERunLine out_;
};

}  // namespace vrx
