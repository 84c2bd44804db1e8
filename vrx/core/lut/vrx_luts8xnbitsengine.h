#pragma once
#include "vrx/core/lut/vrx_lut8xnbitsengine.h"

namespace vrx {

// The engine for signed sources (Src int8_t or int16_t): entry 0 stands for
// the smallest value of the source type.
template <class Src, class Dst>
class VRX_LutS8xNbitsEngine : public VRX_Lut8xNbitsEngine<Src, Dst> {
public:
    using VRX_Lut8xNbitsEngine<Src, Dst>::VRX_Lut8xNbitsEngine;
    // Version test, the offset, the lookup initiate, then an s_integer source
    // (else 0x81000000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                  const VRX_LutData* table, const VRX_ColorType* color_type) override;
    using VRX_Lut8xNbitsEngine<Src, Dst>::initiate;
};

#define VRX_LUT_EXTERN_S(Src, Dst) extern template class VRX_LutS8xNbitsEngine<Src, Dst>;
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN_S, int8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN_S, int16_t)
#undef VRX_LUT_EXTERN_S

}  // namespace vrx
