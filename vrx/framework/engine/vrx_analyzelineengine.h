#pragma once
// An analyser that reads its source one line at a time.
#include "vrx/framework/engine/vrx_analyzeengine.h"

namespace vrx {

class VRX_AnalyzeLineEngine : public VRX_AnalyzeEngine {
public:
    explicit VRX_AnalyzeLineEngine(VRX_Manager* manager) : VRX_AnalyzeEngine(manager) {}
    ~VRX_AnalyzeLineEngine() override = default;

    // One line per call; false once `height` lines are done or a step failed.
    bool execute() override;
    // is_good (else false without a report), the buffer-input initiate, raw
    // encoding (else 0x81000000), the height, and a source block of one line.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src) override;

    uint32_t lines_done() const { return line_; }

protected:
    virtual bool analyze_line(const unsigned char* src) = 0;

    uint32_t line_ = 0;
    uint32_t height_ = 0;
};

}  // namespace vrx
