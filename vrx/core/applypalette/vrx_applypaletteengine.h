#pragma once
// Base of the palette engines. Its initiate takes a working copy of the
// source palette, extends it to one entry for every possible index (entries
// the image did not bring are all zero) and describes the output: the
// palette's depth and channels, no palette.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_ApplyPaletteEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_ApplyPaletteEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager), palette_(manager) {}
    ~VRX_ApplyPaletteEngine() override = default;

    // The line-engine initiate; a source with a palette (else 0x81000000);
    // the working palette of 2^(source bits) entries; the output header; one
    // output line as the destination's block size.
    bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst) override;

    // The working palette (valid after initiate).
    const VRX_Header::VRX_Palette& working_palette() const { return palette_; }

protected:
    VRX_Header::VRX_Palette palette_;
    // Samples of one palette entry.
    uint16_t channels_ = 0;
};

}  // namespace vrx
