#include "vrx/framework/base/vrx_enginecreator.h"

#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_EngineCreator::regist_engine(VRX_Engine* engine, VRX_SrcBuffer* src,
                                             VRX_DstBuffer* dst) {
    if (engine) {
        VRX_Engine* added = manager_->add(engine, dst);
        if (!added) engine->destroy();
        return added;
    }
    vrx::destroy(src);
    vrx::destroy(dst);
    return nullptr;
}

VRX_Engine* VRX_EngineCreator::regist_engine_n(VRX_Engine* engine,
                                               VRX_Vector<VRX_SrcBuffer*>& sources,
                                               VRX_DstBuffer* dst) {
    if (engine) return regist_engine(engine, nullptr, dst);
    for (VRX_SrcBuffer* source : sources) vrx::destroy(source);
    sources.clear();
    vrx::destroy(dst);
    return nullptr;
}

}  // namespace vrx
