#pragma once
// A storage output engine that reads the lines of the engine before it
// through a source buffer; derived writers supply execute().
#include "vrx/framework/engine/vrx_bufferinputengine.h"
#include "vrx/framework/io/vrx_storageoutputengine.h"

namespace vrx {

class VRX_WriteEngine : public VRX_StorageOutputEngine, public VRX_BufferInputEngine {
public:
    explicit VRX_WriteEngine(VRX_Manager* manager)
        : VRX_StorageOutputEngine(manager), VRX_BufferInputEngine(manager) {}
    ~VRX_WriteEngine() override = default;

    // Destroys the source buffer when the engine was initiated.
    bool terminate() override { return VRX_BufferInputEngine::terminate(initiated_); }

    using VRX_StorageOutputEngine::initiate;
    // The storage first, then the input part (header and source buffer
    // non-null, header valid; else 0x80800000).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_OutputStorage* storage);
};

}  // namespace vrx
