#pragma once
// Pixel operators between two images with samples of 8 to 64 bits. Inside
// the rectangle where the operand lies over the base, every base sample a
// becomes op(a, b) with the operand sample b; elsewhere it passes unchanged.
//
//   operator                    sample types                      rule
//   Add, Sub, Multiply          int8_t int16_t int32_t uint32_t   saturated
//                               float                             clamped to +-FLT_MAX
//                               double                            +-DBL_MAX when not finite
//   MultiplyWithNormalization   uint32_t                          a x b / 4294967295
//   And                         uint8_t uint16_t                  a AND b
//   Overwrite                   the six of Add                    b
#include <cstdint>

#include "vrx/core/operation/vrx_oppixelsengine.h"
#include "vrx/core/operation/vrx_pixeloperator.h"

namespace vrx {

template <class Op, class T>
class VRX_OpPixels8xNBitsEngine : public VRX_OpPixelsEngine {
public:
    explicit VRX_OpPixels8xNBitsEngine(VRX_Manager* manager) : VRX_OpPixelsEngine(manager) {}
    ~VRX_OpPixels8xNBitsEngine() override = default;

    // Version test, the two-image initiate, then a base the instance
    // supports (else 0x81000000); the rectangle of the operand placed with
    // its top-left pixel at column x, row y of the base, clipped to the base.
    virtual bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                          const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst,
                          uint32_t x, uint32_t y);
    using VRX_OpPixelsEngine::initiate;

    // Whether a base of this header suits the instance.
    static bool is_supported(const VRX_Header& base);

protected:
    // Sample indices count samples of a line (pixel x channels); all bounds
    // inclusive. No operand line is read when y0 > y1, no sample changed when
    // x0 > x1.
    uint32_t x0_ = 0;
    uint32_t y0_ = 0;
    uint32_t x1_ = 0;
    uint32_t y1_ = 0;
};

template <class Op, class T>
class VRX_OpPixels8xNBitsUnMaskedEngine : public VRX_OpPixels8xNBitsEngine<Op, T> {
public:
    explicit VRX_OpPixels8xNBitsUnMaskedEngine(VRX_Manager* manager)
        : VRX_OpPixels8xNBitsEngine<Op, T>(manager) {}
    ~VRX_OpPixels8xNBitsUnMaskedEngine() override = default;

    // One output line per call; false after the base's last row or a failure.
    bool execute() override;
};

#define VRX_OPPIXELS8XNBITS_INSTANCES(X)                                                      \
    X(Add, int8_t) X(Add, int16_t) X(Add, int32_t) X(Add, uint32_t) X(Add, float)             \
    X(Add, double) X(Sub, int8_t) X(Sub, int16_t) X(Sub, int32_t) X(Sub, uint32_t)            \
    X(Sub, float) X(Sub, double) X(Multiply, int8_t) X(Multiply, int16_t)                     \
    X(Multiply, int32_t) X(Multiply, uint32_t) X(Multiply, float) X(Multiply, double)         \
    X(MultiplyWithNormalization, uint32_t) X(And, uint8_t) X(And, uint16_t)                   \
    X(Overwrite, int8_t) X(Overwrite, int16_t) X(Overwrite, int32_t) X(Overwrite, uint32_t)   \
    X(Overwrite, float) X(Overwrite, double)

#define VRX_OPPIXELS8XNBITS_EXTERN(op, type)                                        \
    extern template class VRX_OpPixels8xNBitsEngine<VRX_PixelOperator::op, type>; \
    extern template class VRX_OpPixels8xNBitsUnMaskedEngine<VRX_PixelOperator::op, type>;
VRX_OPPIXELS8XNBITS_INSTANCES(VRX_OPPIXELS8XNBITS_EXTERN)
#undef VRX_OPPIXELS8XNBITS_EXTERN

}  // namespace vrx
