#pragma once
// Height enlargement by a whole factor n: every source line is written n
// times, in one destination block of n lines.
#include <cstdint>

#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_ScaleHeightIREEngine : public VRX_ProcessEngine {
public:
    explicit VRX_ScaleHeightIREEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ScaleHeightIREEngine() override = default;

    // One source line per call.
    bool execute() override;
    // Version test (0x80040000); the process initiate; a non-zero factor
    // whose output height and block of n lines fit 32 bits (0x80800000); raw
    // u_integer or s_integer samples of 8 or 16 bits, or 1 bit with one
    // channel (0x81000000). One source line and n output lines as the block
    // sizes.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t factor);

private:
    uint32_t factor_ = 0;
    uint32_t dst_height_ = 0;
    uint32_t produced_ = 0;
    uint32_t line_bytes_ = 0;
};

}  // namespace vrx
