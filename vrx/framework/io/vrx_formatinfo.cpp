#include "vrx/framework/io/vrx_formatinfo.h"

#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_FormatInfo::load(VRX_InputStorage* storage) {
    loaded_ = false;
    if (!storage || storage->is_closed()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_FormatInfo::load()", __FILE__, __LINE__);
        return false;
    }
    const int32_t position = storage->position();
    if (!load_body(storage)) {
        storage->seek_from_begin(position);
        return false;
    }
    loaded_ = true;
    return true;
}

}  // namespace vrx
