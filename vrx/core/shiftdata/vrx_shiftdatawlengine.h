#pragma once
// Shift engine with limiting: the shift of VRX_ShiftDataNLEngine computed
// without overflow, then limited to D's range. S and D each one of the six
// integer sample types: 36 instances. One of nine line kernels is chosen at
// initiate from the sign class and the direction of the shift.
#include <cstdint>

#include "vrx/core/shiftdata/vrx_shiftdataengine.h"
#include "vrx/core/shiftdata/vrx_shiftdatanlengine.h"

namespace vrx {

template <class S, class D>
class VRX_ShiftDataWLEngine : public VRX_ShiftDataEngine {
public:
    explicit VRX_ShiftDataWLEngine(VRX_Manager* manager) : VRX_ShiftDataEngine(manager) {}
    ~VRX_ShiftDataWLEngine() override = default;

    // The shift engines' checks (initiate_shift), reported as
    // "VRX_ShiftDataWLEngine::initiate()"; then a sign class that is the one
    // of the source and requested types (else 0x80800000).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_DataType* type, uint16_t bits, int16_t shift,
                          uint8_t sign_class);
    using VRX_ProcessLineToLineEngine::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    uint32_t kernel_case_ = 0;     // sign class, + 3 for a left shift, + 6 for a right one
    uint32_t half_ = 0;            // 2^(n-1) for a right shift by n
    uint32_t mask_ = 0x80000000u;  // top bits a left shift must not lose
};

#define VRX_SHIFT_WL_EXTERN(S, D) extern template class VRX_ShiftDataWLEngine<S, D>;
VRX_SHIFT_FOR_EACH_PAIR(VRX_SHIFT_WL_EXTERN)
#undef VRX_SHIFT_WL_EXTERN

}  // namespace vrx
