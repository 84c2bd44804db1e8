#pragma once
#include "vrx/core/lut/vrx_lut8xnbitsengine.h"

namespace vrx {

// The engine for unsigned sources (Src uint8_t or uint16_t).
template <class Src, class Dst>
class VRX_LutU8xNbitsEngine : public VRX_Lut8xNbitsEngine<Src, Dst> {
public:
    using VRX_Lut8xNbitsEngine<Src, Dst>::VRX_Lut8xNbitsEngine;
    // Version test, the lookup initiate, then a u_integer source (else 0x81000000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  const VRX_LutData* table, const VRX_ColorType* color_type) override;
    using VRX_Lut8xNbitsEngine<Src, Dst>::initiate;
};

#define VRX_LUT_EXTERN_U(Src, Dst) extern template class VRX_LutU8xNbitsEngine<Src, Dst>;
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN_U, uint8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN_U, uint16_t)
#undef VRX_LUT_EXTERN_U

}  // namespace vrx
