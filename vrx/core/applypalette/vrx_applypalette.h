#pragma once
// Replaces every index of a palette-colour image by its palette entry: one-bit
// images go to VRX_ApplyPalette1Bit, all others to VRX_ApplyPalette8xNBits.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_ApplyPalette : public VRX_EngineCreator {
public:
    explicit VRX_ApplyPalette(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ApplyPalette() override = default;

    // The registered engine; the source itself when its header has no
    // palette; null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source);
};

}  // namespace vrx
