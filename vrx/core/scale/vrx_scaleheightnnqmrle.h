#pragma once
// Builds the nearest-neighbour height scaling of a run-length image.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_ScaleHeightNNQMRLE : public VRX_StageCreator {
public:
    explicit VRX_ScaleHeightNNQMRLE(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_ScaleHeightNNQMRLE() override = default;

    // The engine that scales the height to `height`; the source itself at its
    // own height; null after a report (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t height);
};

}  // namespace vrx
