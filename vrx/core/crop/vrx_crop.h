#pragma once
// Cuts a rectangle out of an image: run-length images in one engine, other
// images by rows, then by columns.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_Crop : public VRX_StageCreator {
public:
    explicit VRX_Crop(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_Crop() override = default;

    // The last engine of the crop of (x, y, width, height); the source itself
    // when nothing is cut; null after a report (a missing source or header:
    // 0x80800000). A rectangle past the right or bottom edge is clamped.
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t x, uint32_t y, uint32_t width,
                               uint32_t height);
};

}  // namespace vrx
