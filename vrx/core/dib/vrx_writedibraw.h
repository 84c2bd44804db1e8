#pragma once
// Creator of the bitmap writer's engine over a header and a source buffer.
#include "vrx/core/dib/vrx_writediboption.h"
#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_OutputStorage;

class VRX_WriteDIBRaw : public VRX_EngineCreator {
public:
    explicit VRX_WriteDIBRaw(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_WriteDIBRaw() override = default;

    // The registered writer, or null (the source buffer is then destroyed).
    virtual VRX_Engine* engine(const VRX_Header* header, VRX_SrcBuffer* src,
                               VRX_OutputStorage* storage, const VRX_WriteDIBOption& option);
};

}  // namespace vrx
