#pragma once
// Builds the column crop of samples of 8, 16, 32 or 64 bits.
#include <cstdint>

#include "vrx/framework/base/vrx_stagecreator.h"

namespace vrx {

class VRX_CropWidth8xNBits : public VRX_StageCreator {
public:
    explicit VRX_CropWidth8xNBits(VRX_Manager* manager) : VRX_StageCreator(manager) {}
    ~VRX_CropWidth8xNBits() override = default;

    // The engine that keeps columns x .. x + width - 1, built in any case;
    // null after a report (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, uint32_t x, uint32_t width);
};

}  // namespace vrx
