#pragma once
// What the width and height scalers of run-length images share: the whole
// source in a run buffer, the checks of their initiate and the end.
#include <cstdint>

#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_QMRLEBuffer;

class VRX_QMRLEScaleEngine : public VRX_ProcessEngine {
public:
    explicit VRX_QMRLEScaleEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_QMRLEScaleEngine() override = default;

    // Destroys the run buffer, then as a process engine.
    bool terminate() override;

protected:
    // The process initiate; a non-zero target size (0x80800000 at
    // `size_line`); a run-length image of one u_integer 1-bit channel
    // (0x81000000 at `type_line`). Reports carry the caller's text and file.
    bool check(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, uint32_t size,
               const char* text, const char* file, uint32_t size_line, uint32_t type_line);
    // The run-array size of the source width as the destination's block size
    // (no output line has more runs than its source line) and the run buffer.
    bool open(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst, const char* text);

    VRX_QMRLEBuffer* buffer_ = nullptr;
};

}  // namespace vrx
