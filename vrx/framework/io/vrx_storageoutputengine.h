#pragma once
// The end of a chain that writes into an output storage instead of producing
// a destination buffer.
#include "vrx/framework/engine/vrx_nooutputengine.h"

namespace vrx {

class VRX_OutputStorage;

class VRX_StorageOutputEngine : public VRX_NoOutputEngine {
public:
    using VRX_NoOutputEngine::VRX_NoOutputEngine;
    ~VRX_StorageOutputEngine() override = default;

    // False without a report once the manager holds an error; a null or
    // closed storage is refused with 0x80800000. The engine keeps the storage
    // alive (a dependency recorded with the relation) until it is deleted.
    virtual bool initiate(VRX_OutputStorage* storage);

    VRX_OutputStorage* output_storage() const { return output_storage_; }

protected:
    VRX_OutputStorage* output_storage_ = nullptr;
};

}  // namespace vrx
