#pragma once
// Builds the crop of a run-length image.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_CropQMRLE : public VRX_StageCreator {
public:
    explicit VRX_CropQMRLE(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_CropQMRLE() override = default;

    // The engine that keeps the rectangle; the source itself when the
    // rectangle covers the image; null after a report (a missing source or
    // header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t x, uint32_t y, uint32_t width,
                               uint32_t height);
};

}  // namespace vrx
