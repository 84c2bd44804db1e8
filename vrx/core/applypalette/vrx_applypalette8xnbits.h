#pragma once
// Builds the palette engine for index images of 8 or 16 bits.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_ApplyPalette8xNBits : public VRX_EngineCreator {
public:
    explicit VRX_ApplyPalette8xNBits(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ApplyPalette8xNBits() override = default;

    // The registered engine; the source itself when its header has no
    // palette; null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source);
};

}  // namespace vrx
