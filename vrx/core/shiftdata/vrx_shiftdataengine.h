#pragma once
// What the shift engines share: the checks of their initiate and the shift.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_DataType;

class VRX_ShiftDataEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_ShiftDataEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_ShiftDataEngine() override = default;

    uint16_t magnitude() const { return magnitude_; }
    bool left() const { return left_; }

protected:
    // Source lines of one engine family's initiate reports, in check order.
    struct Lines {
        uint32_t version, source, bits, type, shift;
    };

    // In this order: the version test (0x80040000), the line-engine initiate,
    // a supported source of source_bits bits (else 0x81000000), requested
    // bits 8, 16 or 32 equal to destination_bits (else 0x81000000), a
    // u_integer or s_integer type (else 0x81000000), a shift in -31..31 (else
    // 0x80800000); then the shift is kept, the output takes the requested
    // type and bits, and the destination block becomes one output line.
    bool initiate_shift(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                        const VRX_DataType* type, uint16_t bits, int16_t shift,
                        uint16_t source_bits, uint16_t destination_bits, const char* function,
                        const Lines& lines);

    uint16_t magnitude_ = 0;  // |shift|
    bool left_ = true;
    uint32_t samples_ = 0;  // channels x width
};

}  // namespace vrx
