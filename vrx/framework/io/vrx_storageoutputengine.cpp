#include "vrx/framework/io/vrx_storageoutputengine.h"

#include "vrx/framework/io/vrx_outputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_StorageOutputEngine::initiate(VRX_OutputStorage* storage) {
    if (!is_good()) return false;
    if (!storage || storage->is_closed()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_StorageOutputEngine::initiate()", __FILE__, 48);
        return false;
    }
    output_storage_ = storage;
    return depend(storage);
}

}  // namespace vrx
