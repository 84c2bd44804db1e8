#pragma once
// Shift engine without limiting: every sample of S, widened to 32 bits,
// shifted left or right (rounded, halves away from zero) and truncated to D.
// S and D each one of the six integer sample types: 36 instances.
#include <cstdint>

#include "vrx/core/shiftdata/vrx_shiftdataengine.h"

namespace vrx {

template <class S, class D>
class VRX_ShiftDataNLEngine : public VRX_ShiftDataEngine {
public:
    explicit VRX_ShiftDataNLEngine(VRX_Manager* manager) : VRX_ShiftDataEngine(manager) {}
    ~VRX_ShiftDataNLEngine() override = default;

    // The shift engines' checks (initiate_shift); refusals are reported as
    // "VRX_ShiftDataNLEngine::initiate()".
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_DataType* type, uint16_t bits, int16_t shift);
    using VRX_ProcessLineToLineEngine::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    uint32_t rounding_ = 0;  // 2^(n-1) - 1 for a right shift by n
};

// X(S, D) for the six destination types of one source type.
#define VRX_SHIFT_FOR_EACH_D(X, S) \
    X(S, uint8_t) X(S, int8_t) X(S, uint16_t) X(S, int16_t) X(S, uint32_t) X(S, int32_t)
// X(S, D) for all 36 pairs.
#define VRX_SHIFT_FOR_EACH_PAIR(X)                                     \
    VRX_SHIFT_FOR_EACH_D(X, uint8_t)                                   \
    VRX_SHIFT_FOR_EACH_D(X, int8_t)                                    \
    VRX_SHIFT_FOR_EACH_D(X, uint16_t)                                  \
    VRX_SHIFT_FOR_EACH_D(X, int16_t) VRX_SHIFT_FOR_EACH_D(X, uint32_t) \
        VRX_SHIFT_FOR_EACH_D(X, int32_t)

#define VRX_SHIFT_NL_EXTERN(S, D) extern template class VRX_ShiftDataNLEngine<S, D>;
VRX_SHIFT_FOR_EACH_PAIR(VRX_SHIFT_NL_EXTERN)
#undef VRX_SHIFT_NL_EXTERN

}  // namespace vrx
