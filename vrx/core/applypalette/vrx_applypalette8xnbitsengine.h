#pragma once
// Palette engine for index images of 8 or 16 bits: every index s becomes
// entry s of the working palette. S is the index type, D the palette's
// sample type (each uint8_t or uint16_t).
#include <cstdint>

#include "vrx/core/applypalette/vrx_applypaletteengine.h"

namespace vrx {

template <class S, class D>
class VRX_ApplyPalette8xNBitsEngine : public VRX_ApplyPaletteEngine {
public:
    explicit VRX_ApplyPalette8xNBitsEngine(VRX_Manager* manager)
        : VRX_ApplyPaletteEngine(manager) {}
    ~VRX_ApplyPalette8xNBitsEngine() override = default;

    // Version test, the palette initiate, then unsigned indices of the width
    // of S and palette entries of the width of D (else 0x81000000).
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    const D* table_ = nullptr;  // entry s starts at sample s x channels
    uint32_t count_ = 0;        // indices per line
};

extern template class VRX_ApplyPalette8xNBitsEngine<uint8_t, uint8_t>;
extern template class VRX_ApplyPalette8xNBitsEngine<uint8_t, uint16_t>;
extern template class VRX_ApplyPalette8xNBitsEngine<uint16_t, uint8_t>;
extern template class VRX_ApplyPalette8xNBitsEngine<uint16_t, uint16_t>;

}  // namespace vrx
