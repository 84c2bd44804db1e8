#pragma once
// NOT of a run-length coded binary image: each output line holds, in
// ascending order, the maximal runs of the columns 0 to width - 1 that no
// input run covers. The output header is the input header.
#include <cstdint>

#include "vrx/core/qmrle/vrx_qmrlerunline.h"
#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_QMRLEBuffer;

class VRX_NotQMRLEEngine : public VRX_ProcessEngine {
public:
    explicit VRX_NotQMRLEEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager), out_(manager) {}
    ~VRX_NotQMRLEEngine() override = default;

    // Version test (0x80040000); the process initiate; a run-length image of
    // one 1-bit channel (0x81000000). Makes the run buffer of the source and
    // sets the destination's block size to the run-array size of the width.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;
    // Destroys the run buffer, then as a process engine.
    bool terminate() override;
    // Writes the next line; false when every line is written or a write fails.
    bool execute() override;

private:
    VRX_QMRLEBuffer* buffer_ = nullptr;
    uint32_t line_ = 0;
    uint32_t last_column_ = 0;
    // The runs of the line being written.
    VRX_QMRLERunLine out_;
};

}  // namespace vrx
