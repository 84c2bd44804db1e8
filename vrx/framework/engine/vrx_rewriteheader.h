#pragma once
// Creator of header-rewriting pass-through engines.
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_RewriteHeader : public VRX_EngineCreator {
public:
    explicit VRX_RewriteHeader(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_RewriteHeader() override = default;

    // An engine that passes the pixels of `input` through under `new_header`,
    // or null (a null input is refused with 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* input, const VRX_Header* new_header);
};

}  // namespace vrx
