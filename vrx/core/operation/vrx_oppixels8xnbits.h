#pragma once
// Creators of the pixel operators between two images of 8 to 64 bits per
// sample. VRX_OpPixels8xNBits holds the common steps; each instance of
// VRX_OpPixels8xNBitsUnMasked builds the engine of one operator and sample
// type (the pairs listed with VRX_OpPixels8xNBitsEngine).
#include <cstdint>

#include "vrx/core/operation/vrx_oppixels8xnbitsengine.h"
#include "vrx/core/operation/vrx_pixeloperator.h"
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_OpPixels8xNBits : public VRX_EngineCreator {
public:
    explicit VRX_OpPixels8xNBits(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_OpPixels8xNBits() override = default;

    // `sources` holds the base and then the operand, whose top-left pixel
    // lies at column x, row y of the base. The registered engine, or null
    // after a report (two sources with headers are required: 0x80800000).
    virtual VRX_Engine* engine(const VRX_Vector<VRX_Engine*>& sources, uint32_t x, uint32_t y);

protected:
    // The initiated engine, or null.
    virtual VRX_Engine* create_engine(const VRX_Vector<const VRX_Header*>& headers,
                                      const VRX_Vector<VRX_SrcBuffer*>& sources,
                                      VRX_DstBuffer* dst, uint32_t x, uint32_t y) = 0;
    // Exactly two non-null sources that have headers.
    virtual bool is_acceptable(const VRX_Vector<VRX_Engine*>& sources, uint32_t x, uint32_t y);
};

template <class Op, class T>
class VRX_OpPixels8xNBitsUnMasked : public VRX_OpPixels8xNBits {
public:
    explicit VRX_OpPixels8xNBitsUnMasked(VRX_Manager* manager) : VRX_OpPixels8xNBits(manager) {}
    ~VRX_OpPixels8xNBitsUnMasked() override = default;

protected:
    VRX_Engine* create_engine(const VRX_Vector<const VRX_Header*>& headers,
                              const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst,
                              uint32_t x, uint32_t y) override;
};

#define VRX_OPPIXELS8XNBITS_CREATOR_EXTERN(op, type) \
    extern template class VRX_OpPixels8xNBitsUnMasked<VRX_PixelOperator::op, type>;
VRX_OPPIXELS8XNBITS_INSTANCES(VRX_OPPIXELS8XNBITS_CREATOR_EXTERN)
#undef VRX_OPPIXELS8XNBITS_CREATOR_EXTERN

}  // namespace vrx
