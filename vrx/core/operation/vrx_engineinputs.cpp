#include "vrx/core/operation/vrx_engineinputs.h"

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/buffer/vrx_srcbuffer.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_EngineInputs::take(const VRX_Vector<VRX_Engine*>& sources, const char* function,
                            const char* file, uint32_t line) {
    if (sources.empty()) {
        manager_->report(VRX_ERROR_ARGUMENT, function, file, line);
        return false;
    }
    if (!headers.reserve(sources.size()) || !buffers.reserve(sources.size())) return fail();
    for (VRX_Engine* source : sources) {
        const VRX_Header* header = source ? source->header() : nullptr;
        VRX_SrcBuffer* buffer = header ? source->src_buffer() : nullptr;
        if (!buffer) {
            manager_->report(VRX_ERROR_ARGUMENT, function, file, line);
            return fail();
        }
        if (!headers.push_back(header) || !buffers.push_back(buffer)) {
            buffer->destroy();
            return fail();
        }
    }
    return true;
}

VRX_Engine* VRX_EngineInputs::initiated_or_null(VRX_Engine* engine, bool initiated) {
    if (engine && initiated) {
        engine->set_initiated();
        return engine;
    }
    vrx::destroy(engine);
    return nullptr;
}

bool VRX_EngineInputs::fail() {
    for (VRX_SrcBuffer* buffer : buffers) buffer->destroy();
    buffers.clear();
    headers.clear();
    return false;
}

}  // namespace vrx
