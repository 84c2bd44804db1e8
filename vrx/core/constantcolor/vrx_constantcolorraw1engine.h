#pragma once
#include "vrx/core/constantcolor/vrx_constantcolorrawengine.h"

namespace vrx {

// The engine of unsigned one-bit samples: a bit is set where its channel's
// colour value is not 0.
template <class T>
class VRX_ConstantColorRaw1Engine : public VRX_ConstantColorRawEngine<T> {
public:
    using VRX_ConstantColorRawEngine<T>::VRX_ConstantColorRawEngine;
    // Version test, the common part, then u_integer samples of 1 bit (else 0x81000000).
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                  const VRX_Vector<T>& color) override;
    using VRX_ConstantColorRawEngine<T>::initiate;
};

extern template class VRX_ConstantColorRaw1Engine<uint32_t>;

}  // namespace vrx
