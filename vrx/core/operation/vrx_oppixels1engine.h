#pragma once
// Pixel operators between two one-bit, one-channel images (pixels packed
// from the most significant bit of each byte). Built for the AND: every base
// bit inside the operand's rectangle is ANDed with the operand bit at the
// same place; every other bit, the line's padding included, is unchanged.
#include <cstdint>

#include "vrx/core/operation/vrx_oppixelsengine.h"
#include "vrx/core/operation/vrx_pixeloperator.h"

namespace vrx {

template <class Op>
class VRX_OpPixels1Engine : public VRX_OpPixelsEngine {
public:
    explicit VRX_OpPixels1Engine(VRX_Manager* manager) : VRX_OpPixelsEngine(manager) {}
    ~VRX_OpPixels1Engine() override = default;

    // Gives the operand line buffer back, then ends as every two-image engine.
    bool terminate() override;
    // Version test, the two-image initiate, then a base the operator supports
    // (else 0x81000000) and an x below the base width (else 0x80800000); the
    // bit range and masks of the operand's rectangle and the operand line
    // buffer.
    virtual bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                          const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst,
                          uint32_t x, uint32_t y);
    using VRX_OpPixelsEngine::initiate;

    // Whether a base of this header suits the operator.
    static bool is_supported(const VRX_Header& base);

protected:
    uint32_t first_bit_ = 0;   // b0: first base bit of the rectangle
    uint32_t first_line_ = 0;  // y0
    uint32_t last_bit_ = 0;    // b1, inclusive
    uint32_t last_line_ = 0;   // y1, inclusive
    uint32_t start_bit_ = 0;   // b0 mod 8
    uint32_t first_byte_ = 0;  // b0 / 8
    uint32_t last_byte_ = 0;   // b1 / 8
    uint8_t first_mask_ = 0;   // the bits of the first byte from the start bit on
    uint8_t last_mask_ = 0;    // the bits of the last byte up to b1
    unsigned char* operand_line_ = nullptr;
    uint32_t operand_line_bytes_ = 0;
};

template <class Op>
class VRX_OpPixels1UnMaskedEngine : public VRX_OpPixels1Engine<Op> {
    static_assert(VRX_PixelOperator::is<Op, VRX_PixelOperator::And>);

public:
    explicit VRX_OpPixels1UnMaskedEngine(VRX_Manager* manager) : VRX_OpPixels1Engine<Op>(manager) {}
    ~VRX_OpPixels1UnMaskedEngine() override = default;

    // One output line per call; false after the base's last row or a failure.
    bool execute() override;

private:
    // ANDs the operand line buffer into the bits of one destination line.
    void and_line(unsigned char* d) const;
};

extern template class VRX_OpPixels1Engine<VRX_PixelOperator::And>;
extern template class VRX_OpPixels1UnMaskedEngine<VRX_PixelOperator::And>;

}  // namespace vrx
