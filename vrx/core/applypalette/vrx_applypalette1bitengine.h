#pragma once
// Palette engine for one-bit index images: every pixel becomes entry 0 or 1
// of the working palette. T is the palette's sample type (uint8_t or uint16_t).
#include <cstdint>

#include "vrx/core/applypalette/vrx_applypaletteengine.h"

namespace vrx {

template <class T>
class VRX_ApplyPalette1BitEngine : public VRX_ApplyPaletteEngine {
public:
    explicit VRX_ApplyPalette1BitEngine(VRX_Manager* manager) : VRX_ApplyPaletteEngine(manager) {}
    ~VRX_ApplyPalette1BitEngine() override = default;

    // Version test, the palette initiate, then one bit and one channel and
    // palette entries of the width of T (else 0x81000000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    const T* table_ = nullptr;  // entry i starts at sample i x channels
    uint32_t whole_bytes_ = 0;  // width / 8
    uint8_t remaining_bits_ = 0;  // width mod 8
};

extern template class VRX_ApplyPalette1BitEngine<uint8_t>;
extern template class VRX_ApplyPalette1BitEngine<uint16_t>;

}  // namespace vrx
