#pragma once
// Line engine that complements every byte of every line: unsigned samples of
// 1, 8 or 16 bits are inverted as a whole, and the padding bits of a one-bit
// line's last byte are inverted too. The output header is the input header.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_OpNotEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_OpNotEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_OpNotEngine() override = default;

    // Version test, the line-engine initiate, then a u_integer source of 1, 8
    // or 16 bits without palette (else 0x81000000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    uint32_t line_bytes_ = 0;
};

}  // namespace vrx
