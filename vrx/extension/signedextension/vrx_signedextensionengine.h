#pragma once
// Line engine of the sign extension. T is the signed sample type (int8_t or
// int16_t); the output header is the input header.
#include <cstdint>
#include <type_traits>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

template <class T>
class VRX_SignedExtensionEngine : public VRX_ProcessLineToLineEngine {
    static_assert(std::is_same_v<T, int8_t> || std::is_same_v<T, int16_t>);

public:
    // The raw bits of one sample.
    using Bits = std::make_unsigned_t<T>;

    explicit VRX_SignedExtensionEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_SignedExtensionEngine() override = default;

    // Version test, the line-engine initiate, then a signed raw header of the
    // engine's sample width without palette (else 0x81000000) and a high bit
    // below the sample width (else 0x80800000).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint8_t high_bit);
    using VRX_ProcessLineToLineEngine::initiate;

    Bits sign_mask() const { return sign_mask_; }
    Bits value_mask() const { return value_mask_; }
    Bits extension_mask() const { return extension_mask_; }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    Bits sign_mask_ = 0;       // the high bit
    Bits value_mask_ = 0;      // bits 0 to the high bit
    Bits extension_mask_ = 0;  // the bits above the high bit
};

extern template class VRX_SignedExtensionEngine<int8_t>;
extern template class VRX_SignedExtensionEngine<int16_t>;

}  // namespace vrx
