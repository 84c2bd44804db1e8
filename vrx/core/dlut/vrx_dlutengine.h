#pragma once
// Base of the direct-lookup engines: the engine's own copy of the table in
// the source's sample width, the strides between grid points and, for every
// sample value, the grid cell below it.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_ColorType;

class VRX_DLutEngine : public VRX_ProcessLineToLineEngine {
public:
    static constexpr uint32_t kMaxChannels = 16;

    explicit VRX_DLutEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_DLutEngine() override = default;

    // Gives the table and the cell indices back, then ends as a process
    // engine.
    bool terminate() override;
    // The line-engine initiate; a u_integer source of 8 or 16 bits, without
    // palette, of 1 to 16 channels (else 0x81000000, line 74); a table of 8
    // or 16 bits, 1 to 16 outputs, a grid of 2 to 65 points and a table whose
    // grid^inputs x outputs samples and bytes fit 32 bits (else 0x80800000,
    // line 94); an output of `outputs` channels and the colour type, when
    // given, that is a valid image (else 0x80800000, line 108). The table is
    // copied into the source's width: 16-bit samples v become v / 257
    // (rounded down) for an 8-bit source, 8-bit ones v x 257 for a 16-bit
    // source.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          uint16_t bits, uint16_t outputs, uint16_t grid, uint8_t first_slowest,
                          const void* table, const VRX_ColorType* color_type);
    using VRX_ProcessLineToLineEngine::initiate;

    uint32_t stride(uint32_t i) const { return i <= kMaxChannels ? stride_[i] : 0; }
    uint32_t cell(uint32_t sample) const { return sample <= max_ ? cell_[sample] : 0; }

protected:
    uint16_t inputs_ = 0;
    uint32_t outputs_ = 0;
    uint32_t grid_ = 0;
    unsigned char* table_ = nullptr;  // grid^inputs x outputs samples of the source's width
    double scale_ = 0;                // (grid - 1) / max
    uint32_t stride_[kMaxChannels + 1] = {};
    uint32_t max_ = 0;          // largest sample value
    uint32_t* cell_ = nullptr;  // per sample value: the cell below it
};

}  // namespace vrx
