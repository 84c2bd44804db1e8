#pragma once
// The abstract manager every library object is bound to: memory, error
// handling, destination-buffer policy and the engine registry in one object.
#include "vrx/framework/manager/vrx_errorhandler.h"
#include "vrx/framework/manager/vrx_memorymanager.h"
#include "vrx/framework/manager/vrx_relation.h"
#include "vrx/framework/manager/vrx_workflow.h"

namespace vrx {

class VRX_Manager : public VRX_MemoryManager,
                    public VRX_ErrorHandler,
                    public VRX_Workflow,
                    public VRX_Relation {
public:
    // Ends the job: tears the chain down, merges the first error into `out`
    // and resets the error record. True when `out` holds no error.
    virtual bool execute(VRX_Status& out) = 0;
    // Runs the producer of `dst` one step; false when there is none or it ended.
    virtual bool run(VRX_DstBuffer* dst) = 0;

    // The relation's execute: ends the job with a throw-away status.
    using VRX_ErrorHandler::report;
    using VRX_Relation::execute;
    using VRX_Workflow::block_bytes;
};

}  // namespace vrx
