#pragma once
// Line engine combining every sample with one constant. Built for the AND of
// unsigned 8-bit (T = uint8_t) and 16-bit (T = uint16_t) samples; the output
// header is the input header.
#include <cstdint>

#include "vrx/core/operation/vrx_pixeloperator.h"
#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

template <class Op, class T>
class VRX_OpConstEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_OpConstEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_OpConstEngine() override = default;

    // Version test, the line-engine initiate, then an unsigned source of the
    // width of T without palette (else 0x81000000).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          T constant);
    using VRX_ProcessLineToLineEngine::initiate;

    T constant() const { return constant_; }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    T constant_ = 0;
    uint32_t samples_ = 0;  // channels x width
};

extern template class VRX_OpConstEngine<VRX_PixelOperator::And, uint8_t>;
extern template class VRX_OpConstEngine<VRX_PixelOperator::And, uint16_t>;

}  // namespace vrx
