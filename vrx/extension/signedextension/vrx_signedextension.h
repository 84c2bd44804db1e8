#pragma once
// Creator of the sign-extension stage: signed samples whose significant bits
// are fewer than their container get the top significant bit copied into
// every bit above it.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;

class VRX_SignedExtension : public VRX_EngineCreator {
public:
    explicit VRX_SignedExtension(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_SignedExtension() override = default;

    // `high_bit` is the index of the top significant bit (0 = least
    // significant). Signed 8- or 16-bit sources only. Returns the registered
    // engine, the source itself when the high bit is already the top bit of
    // the sample, or null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source, uint8_t high_bit);
};

}  // namespace vrx
