#pragma once
// Nearest-neighbour scaling: every destination pixel takes the source pixel
// under its centre. Run-length images go to their own scalers; an image
// shrunk on both axes is sub-sampled (whole ratios, 8 or 16 bits) or shrunk
// in one engine; otherwise a width and a height stage are chained, the
// shrinking axis first.
#include <cstdint>

#include "vrx/core/scale/vrx_scale.h"

namespace vrx {

class VRX_ScaleNN : public VRX_Scale {
public:
    explicit VRX_ScaleNN(VRX_Manager* manager) : VRX_Scale(manager) {}
    ~VRX_ScaleNN() override = default;

    // The last engine, the source itself at its own size, or null after a
    // report (a missing source or header: 0x80800000).
    VRX_Engine* engine(VRX_Engine* source, uint32_t width, uint32_t height) override;
};

}  // namespace vrx
