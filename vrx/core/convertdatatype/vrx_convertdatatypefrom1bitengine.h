#pragma once
// Line engine from one-bit samples to samples of T: a 1 bit becomes the
// image of 1 under the linear map, a 0 bit the image of 0, each limited and
// rounded as to_sample does. T is one of the eight sample types.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_DataType;

template <class T>
class VRX_ConvertDataTypeFrom1bitEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_ConvertDataTypeFrom1bitEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_ConvertDataTypeFrom1bitEngine() override = default;

    // Version test, the line-engine initiate, a one-bit source without
    // palette (else 0x81000000) and `bits` of T's width (else 0x81000000:
    // samples of T never go into lines of another depth). The output takes
    // `type` and `bits`.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_DataType* type, uint16_t bits, double gain, double offset);
    using VRX_ProcessLineToLineEngine::initiate;

    T one_value() const { return one_; }
    T zero_value() const { return zero_; }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    T one_{};
    T zero_{};
    uint32_t whole_bytes_ = 0;    // (channels x width) / 8
    uint8_t remaining_bits_ = 0;  // (channels x width) mod 8
};

#define VRX_FROM1BIT_EXTERN(T) extern template class VRX_ConvertDataTypeFrom1bitEngine<T>;
VRX_FROM1BIT_EXTERN(uint8_t)
VRX_FROM1BIT_EXTERN(int8_t)
VRX_FROM1BIT_EXTERN(uint16_t)
VRX_FROM1BIT_EXTERN(int16_t)
VRX_FROM1BIT_EXTERN(uint32_t)
VRX_FROM1BIT_EXTERN(int32_t)
VRX_FROM1BIT_EXTERN(float)
VRX_FROM1BIT_EXTERN(double)
#undef VRX_FROM1BIT_EXTERN

}  // namespace vrx
