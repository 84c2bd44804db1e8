#pragma once
// An engine without output that reads one source.
#include "vrx/framework/engine/vrx_bufferinputengine.h"
#include "vrx/framework/engine/vrx_nooutputengine.h"

namespace vrx {

class VRX_AnalyzeEngine : public VRX_NoOutputEngine, public VRX_BufferInputEngine {
public:
    explicit VRX_AnalyzeEngine(VRX_Manager* manager)
        : VRX_NoOutputEngine(manager), VRX_BufferInputEngine(manager) {}
    ~VRX_AnalyzeEngine() override = default;

    // Destroys the source buffer when initiated.
    bool terminate() override { return VRX_BufferInputEngine::terminate(initiated_); }
};

}  // namespace vrx
