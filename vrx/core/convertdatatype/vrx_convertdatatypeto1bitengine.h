#pragma once
// Line engine from whole-byte samples to one bit. T is one of the eight
// sample types.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_DataType;

// A sample x sets its
// bit when x x gain >= 0.5 - offset. The output takes the given data type.
template <class T>
class VRX_ConvertDataTypeTo1bitEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_ConvertDataTypeTo1bitEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_ConvertDataTypeTo1bitEngine() override = default;

    // Version test, the line-engine initiate, then a source of T's width
    // without palette (else 0x81000000).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_DataType* type, double gain, double offset);
    using VRX_ProcessLineToLineEngine::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    double gain_ = 0.0;
    double threshold_ = 0.0;  // 0.5 - offset
    uint32_t whole_bytes_ = 0;
    uint8_t remaining_bits_ = 0;
};

#define VRX_TO1BIT_EXTERN(T) extern template class VRX_ConvertDataTypeTo1bitEngine<T>;
VRX_TO1BIT_EXTERN(uint8_t)
VRX_TO1BIT_EXTERN(int8_t)
VRX_TO1BIT_EXTERN(uint16_t)
VRX_TO1BIT_EXTERN(int16_t)
VRX_TO1BIT_EXTERN(uint32_t)
VRX_TO1BIT_EXTERN(int32_t)
VRX_TO1BIT_EXTERN(float)
VRX_TO1BIT_EXTERN(double)
#undef VRX_TO1BIT_EXTERN

}  // namespace vrx
