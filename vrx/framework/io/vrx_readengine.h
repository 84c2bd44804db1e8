#pragma once
// Base of the engines at the head of a chain that read an input storage
// (the raw storage reader of the DICOM access, the readers of other formats).
#include "vrx/framework/engine/vrx_bufferoutputengine.h"

namespace vrx {

class VRX_InputStorage;

class VRX_ReadEngine : public VRX_BufferOutputEngine {
public:
    using VRX_BufferOutputEngine::VRX_BufferOutputEngine;
    ~VRX_ReadEngine() override = default;

    using VRX_BufferOutputEngine::initiate;
    // The output initiate (header, destination), then the storage: null or
    // closed is refused with 0x80800000. The engine keeps the storage alive
    // (a dependency recorded with the relation) until it is deleted.
    virtual bool initiate(VRX_InputStorage* storage, const VRX_Header* header, VRX_DstBuffer* dst);

    VRX_InputStorage* storage() const { return storage_; }

protected:
    VRX_InputStorage* storage_ = nullptr;
};

}  // namespace vrx
