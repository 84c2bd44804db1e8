#pragma once
// A process engine that turns one source line into one destination line.
// A concrete engine's initiate runs, in this order: the version test, this
// initiate, its own checks and output-header changes, and last block_bytes of
// its destination buffer with one line of the output header.
#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_ProcessLineToLineEngine : public VRX_ProcessEngine {
public:
    explicit VRX_ProcessLineToLineEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ProcessLineToLineEngine() override = default;

    // One line per call; false once the output height is reached or a step failed.
    bool execute() override;
    // The process initiate, then raw encoding (else 0x81000000) and a source
    // block of one line.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;

    // Lines done so far.
    uint32_t lines_done() const { return line_; }

protected:
    // The kernel: one source line into one destination line.
    virtual bool process_line(const unsigned char* src, unsigned char* dst) = 0;

    uint32_t line_ = 0;
};

}  // namespace vrx
