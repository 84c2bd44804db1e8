#pragma once
// A workflow bound to its manager that makes destination buffers for engines
// and runs engines one step.
#include "vrx/framework/manager/vrx_workflow.h"

namespace vrx {

class VRX_Manager;
class VRX_Engine;
class VRX_DstBufferBase;

class VRX_WorkflowImpl : public VRX_Workflow {
public:
    explicit VRX_WorkflowImpl(VRX_Manager* manager) : manager_(manager) {}
    ~VRX_WorkflowImpl() override = default;

    // The real destination buffer for a registered engine's output, or null.
    virtual VRX_DstBufferBase* create_dst_buffer(VRX_Engine* engine) = 0;
    // One step of the engine; the engine is destroyed when the step returns false.
    virtual bool run_engine(VRX_Engine* engine) = 0;

protected:
    VRX_Manager* manager_;
};

}  // namespace vrx
