#include "vrx/core/channel/vrx_mergechannel1bit.h"

#include "vrx/core/channel/vrx_mergechannel1bitengine.h"
#include "vrx/core/operation/vrx_engineinputs.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_MergeChannel1bit::engine(const VRX_Vector<VRX_Engine*>& sources,
                                         const VRX_ColorType* color) {
    VRX_EngineInputs inputs(manager_);
    if (!inputs.take(sources, "VRX_MergeChannel1bit::engine()", __FILE__, 52)) return nullptr;
    VRX_DstBuffer* dst = manager_->new_dst_buffer();
    auto* engine = construct<VRX_MergeChannel1bitEngine>(manager_);
    const bool initiated = engine && engine->initiate(inputs.headers, inputs.buffers, dst, color);
    return inputs.regist(*this, engine, initiated, dst);
}

}  // namespace vrx
