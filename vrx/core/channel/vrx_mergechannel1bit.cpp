#include "vrx/core/channel/vrx_mergechannel1bit.h"

#include "vrx/core/channel/vrx_mergechannel1bitengine.h"
#include "vrx/core/operation/vrx_engineinputs.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_MergeChannel1bit::engine(const VRX_Vector<VRX_Engine*>& sources,
                                         const VRX_ColorType* color) {
    return VRX_EngineInputs(manager_).build(
        *this, sources, "VRX_MergeChannel1bit::engine()", __FILE__, 52,
        [&](const auto& headers, const auto& buffers, VRX_DstBuffer* dst) {
            auto* engine = construct<VRX_MergeChannel1bitEngine>(manager_);
            return VRX_EngineInputs::initiated_or_null(
                engine, engine && engine->initiate(headers, buffers, dst, color));
        });
}

}  // namespace vrx
