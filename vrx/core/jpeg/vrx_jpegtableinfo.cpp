#include "vrx/core/jpeg/vrx_jpegtableinfo.h"

#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_JPEGTableInfo::load(VRX_InputStorage* storage) {
    if (!storage || storage->is_closed() || storage->is_end()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_JPEGTableInfo::load()", __FILE__, 60);
        return false;
    }
    const int32_t position = storage->position();
    VRX_JPEGTableInfoInternal* made = VRX_JPEGTableInfoInternal::create(manager_, storage);
    VRX_SharedOwner<VRX_JPEGTableInfoInternal> owner(made);
    if (made && !owner.counted()) made->destroy();
    internal_ = owner.counted() ? std::move(owner) : VRX_SharedOwner<VRX_JPEGTableInfoInternal>();
    if (!internal_) {
        storage->seek_from_begin(position);
        return false;
    }
    return true;
}

}  // namespace vrx
