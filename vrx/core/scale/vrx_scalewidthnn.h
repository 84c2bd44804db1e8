#pragma once
// Builds the nearest-neighbour width stage: enlargement by a whole factor
// when the new width is a multiple of the old one, else the general engine.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleWidthNN : public VRX_StageCreator {
public:
    explicit VRX_ScaleWidthNN(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleWidthNN() override = default;

    // The engine that scales the width to `width`; the source itself at its
    // own width; null after a report (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t width);
};

}  // namespace vrx
