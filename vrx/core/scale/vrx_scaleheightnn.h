#pragma once
// Builds the nearest-neighbour height stage: enlargement by a whole factor
// when the new height is a multiple of the old one, else the general engine.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleHeightNN : public VRX_StageCreator {
public:
    explicit VRX_ScaleHeightNN(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleHeightNN() override = default;

    // The engine that scales the height to `height`; the source itself at its
    // own height; null after a report (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t height);
};

}  // namespace vrx
