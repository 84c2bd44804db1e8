#pragma once
// Creators of the pixel operators between two one-bit images; built for the
// AND (VRX_OpPixels1UnMasked<VRX_PixelOperator::And>).
#include <cstdint>

#include "vrx/core/operation/vrx_pixeloperator.h"
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_Header;
class VRX_SrcBuffer;
class VRX_DstBuffer;

class VRX_OpPixels1 : public VRX_EngineCreator {
public:
    explicit VRX_OpPixels1(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_OpPixels1() override = default;

    // As VRX_OpPixels8xNBits::engine, for one-bit images.
    virtual VRX_Engine* engine(const VRX_Vector<VRX_Engine*>& sources, uint32_t x, uint32_t y);

protected:
    virtual VRX_Engine* create_engine(const VRX_Vector<const VRX_Header*>& headers,
                                      const VRX_Vector<VRX_SrcBuffer*>& sources,
                                      VRX_DstBuffer* dst, uint32_t x, uint32_t y) = 0;
    // Exactly two sources; null ones are refused when their inputs are taken.
    virtual bool is_acceptable(const VRX_Vector<VRX_Engine*>& sources, uint32_t x, uint32_t y);
};

template <class Op>
class VRX_OpPixels1UnMasked : public VRX_OpPixels1 {
public:
    explicit VRX_OpPixels1UnMasked(VRX_Manager* manager) : VRX_OpPixels1(manager) {}
    ~VRX_OpPixels1UnMasked() override = default;

protected:
    VRX_Engine* create_engine(const VRX_Vector<const VRX_Header*>& headers,
                              const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst,
                              uint32_t x, uint32_t y) override;
};

extern template class VRX_OpPixels1UnMasked<VRX_PixelOperator::And>;

}  // namespace vrx
