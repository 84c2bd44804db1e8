#pragma once
// Builds the column crop of a raw image, choosing the engine by sample size
// and by where the kept part starts in a packed 1-bit line.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_CropWidth : public VRX_StageCreator {
public:
    explicit VRX_CropWidth(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_CropWidth() override = default;

    // The engine that keeps columns x .. x + width - 1; the source itself
    // when x is 0 and width covers the image; null after a report (a missing
    // source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t x, uint32_t width);
};

}  // namespace vrx
