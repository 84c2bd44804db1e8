#pragma once
// The point-to-point line engine: every pixel through one point converter.
// S is the sample type (uint8_t or uint16_t); the converter is shared by
// count, so the engine keeps it alive as long as it needs it.
#include <cstdint>

#include "vrx/core/colorspace/vrx_cspointconverter.h"
#include "vrx/framework/engine/vrx_processlinetolineengine.h"
#include "vrx/framework/include/vrx_sharedowner.h"

namespace vrx {

class VRX_ColorType;

template <class S>
class VRX_ColorSpaceConverterPtoPEngine : public VRX_ProcessLineToLineEngine {
public:
    using Converter = VRX_CsPointConverter<S>;

    explicit VRX_ColorSpaceConverterPtoPEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_ColorSpaceConverterPtoPEngine() override = default;

    // Version test; the line-engine initiate; a u_integer or floating source
    // of S's width without palette (else 0x81000000, line 173); a converter
    // and a target whose channels are the ones the converter reads and
    // writes (else 0x80800000, line 179). The output gets the target's
    // channels and colour type; the engine keeps a reference to the
    // converter only when it succeeds.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_SharedOwner<Converter>& converter, const VRX_ColorType* target);
    using VRX_ProcessLineToLineEngine::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    uint16_t inputs_ = 0;
    uint16_t outputs_ = 0;
    uint32_t width_ = 0;
    VRX_SharedOwner<Converter> converter_;
    const Converter* point_ = nullptr;
};

extern template class VRX_ColorSpaceConverterPtoPEngine<uint8_t>;
extern template class VRX_ColorSpaceConverterPtoPEngine<uint16_t>;

}  // namespace vrx
