#pragma once
// Base of the decoding creators: each turns an engine that delivers an
// encoded stream into an engine that delivers raw lines.
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_EncodeType;

class VRX_Decode : public VRX_EngineCreator {
public:
    explicit VRX_Decode(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_Decode() override = default;

    // The decoder of `source`'s stream, `source` itself when it is raw
    // already, or null after a report.
    virtual VRX_Engine* engine(VRX_Engine* source) = 0;
    // The encode type the decoder accepts.
    virtual const VRX_EncodeType* encode_type() const = 0;
};

}  // namespace vrx
