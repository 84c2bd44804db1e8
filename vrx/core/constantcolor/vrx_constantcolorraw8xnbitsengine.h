#pragma once
#include "vrx/core/constantcolor/vrx_constantcolorrawengine.h"

namespace vrx {

// The engine of whole-byte samples of T (uint8_t, int8_t, uint16_t, int16_t,
// uint32_t, int32_t, float, double): colour value c in channel c of every pixel.
template <class T>
class VRX_ConstantColorRaw8xNBitsEngine : public VRX_ConstantColorRawEngine<T> {
public:
    using VRX_ConstantColorRawEngine<T>::VRX_ConstantColorRawEngine;
    // Version test, the common part, then bits 8, 16, 32 or 64 (else
    // 0x81000000) and a header of T's data type and width (else 0x80800000).
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                  const VRX_Vector<T>& color) override;
    using VRX_ConstantColorRawEngine<T>::initiate;
};

#define VRX_CONSTANT_EXTERN(T) extern template class VRX_ConstantColorRaw8xNBitsEngine<T>;
VRX_CONSTANT_FOR_EACH_TYPE(VRX_CONSTANT_EXTERN)
#undef VRX_CONSTANT_EXTERN

}  // namespace vrx
