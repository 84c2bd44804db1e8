#pragma once
// Builds the row crop of a raw image.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_CropHeight : public VRX_StageCreator {
public:
    explicit VRX_CropHeight(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_CropHeight() override = default;

    // The engine that keeps rows y .. y + height - 1; the source itself when
    // y is 0 and height covers the image; null after a report (a missing
    // source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t y, uint32_t height);
};

}  // namespace vrx
