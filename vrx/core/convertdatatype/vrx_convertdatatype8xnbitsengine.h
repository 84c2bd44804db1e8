#pragma once
// Line engine of the general data-type conversion between whole-byte sample
// types: every sample x of S becomes x x gain + offset (VRX_LinearMap) as a
// sample of D, limited to D's range and, for integer D, rounded to the
// nearest integer with halves away from zero (to_sample). S and D are each
// one of uint8_t, int8_t, uint16_t, int16_t, uint32_t, int32_t, float,
// double: 64 instances.
#include <cstdint>

#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

template <class S, class D>
class VRX_ConvertDataType8xNbitsEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_ConvertDataType8xNbitsEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_ConvertDataType8xNbitsEngine() override = default;

    // Version test, the line-engine initiate, then a source of S's width
    // without palette and a `bits` of D's width (else 0x81000000). The output
    // takes `type` (a null type is refused by the header) and D's width.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_DataType* type, uint16_t bits, double gain, double offset);
    using VRX_ProcessLineToLineEngine::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    VRX_LinearMap map_{0.0, 0.0};
    uint32_t samples_ = 0;  // channels x width
};

// X(S, D) for the eight destination types of one source type.
#define VRX_CONVERT_FOR_EACH_D(X, S) \
    X(S, uint8_t)                    \
    X(S, int8_t) X(S, uint16_t) X(S, int16_t) X(S, uint32_t) X(S, int32_t) X(S, float) X(S, double)
// X(S, D) for all 64 pairs.
#define VRX_CONVERT_FOR_EACH_PAIR(X)                                       \
    VRX_CONVERT_FOR_EACH_D(X, uint8_t)                                     \
    VRX_CONVERT_FOR_EACH_D(X, int8_t)                                      \
    VRX_CONVERT_FOR_EACH_D(X, uint16_t)                                    \
    VRX_CONVERT_FOR_EACH_D(X, int16_t)                                     \
    VRX_CONVERT_FOR_EACH_D(X, uint32_t) VRX_CONVERT_FOR_EACH_D(X, int32_t) \
        VRX_CONVERT_FOR_EACH_D(X, float) VRX_CONVERT_FOR_EACH_D(X, double)

#define VRX_CONVERT_EXTERN(S, D) extern template class VRX_ConvertDataType8xNbitsEngine<S, D>;
VRX_CONVERT_FOR_EACH_PAIR(VRX_CONVERT_EXTERN)
#undef VRX_CONVERT_EXTERN

}  // namespace vrx
