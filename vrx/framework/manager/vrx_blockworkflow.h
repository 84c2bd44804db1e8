#pragma once
// The single-thread block workflow: every engine writes into a block buffer
// sized for its whole output, and a reader that lacks data runs the producer
// one step.
#include "vrx/framework/manager/vrx_workflowimpl.h"

namespace vrx {

class VRX_Relation;

class VRX_BlockWorkflow : public VRX_WorkflowImpl {
public:
    static constexpr uint32_t encoded_capacity = 0x40000000u;

    explicit VRX_BlockWorkflow(VRX_Manager* manager) : VRX_WorkflowImpl(manager) {}
    ~VRX_BlockWorkflow() override = default;

    // A new, unbound destination proxy; null when an error is already recorded.
    VRX_DstBuffer* new_dst_buffer() override;
    // 4096.
    uint32_t block_bytes() override { return 4096; }
    // A block buffer of the engine's raw image size (line x height, refused
    // with 0x81000000 when 0 or beyond 32 bits) or of 0x40000000 bytes for
    // encoded data.
    VRX_DstBufferBase* create_dst_buffer(VRX_Engine* engine) override;
    bool run_engine(VRX_Engine* engine) override;

    // The relation the manager keeps (made through the manager), or null.
    VRX_Relation* create_relation();
};

}  // namespace vrx
