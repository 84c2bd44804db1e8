#pragma once
// Builds the palette engine for one-bit index images.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_ApplyPalette1Bit : public VRX_EngineCreator {
public:
    explicit VRX_ApplyPalette1Bit(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ApplyPalette1Bit() override = default;

    // The registered engine; the source itself when its header has no
    // palette; null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source);
};

}  // namespace vrx
