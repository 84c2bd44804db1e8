#pragma once
// Width enlargement of packed 1-bit lines by a whole factor n: every source
// byte is replaced in place, from the end backwards, by its n-byte entry of
// an expansion table.
#include <cstdint>

#include "vrx/framework/engine/vrx_processengine.h"

namespace vrx {

class VRX_ScaleWidthIRE1BitEngine : public VRX_ProcessEngine {
public:
    explicit VRX_ScaleWidthIRE1BitEngine(VRX_Manager* manager) : VRX_ProcessEngine(manager) {}
    ~VRX_ScaleWidthIRE1BitEngine() override = default;

    // Gives the table back (factors above 64 use none), then as a process engine.
    bool terminate() override;
    // One line per call; false when the source has no more.
    bool execute() override;
    // Version test (0x80040000); the process initiate; a non-zero factor
    // whose output width fits 32 bits (0x80800000); raw, 1 bit, 1 channel
    // (0x81000000); the expansion table; one source line and one output line
    // as the block sizes.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint32_t factor);

private:
    uint32_t factor_ = 0;
    uint32_t src_width_ = 0;
    uint32_t src_line_bytes_ = 0;
    unsigned char* table_ = nullptr;
};

}  // namespace vrx
