#include "vrx/core/jfif/vrx_readjfif.h"

#include "vrx/core/jfif/vrx_jfifinfo.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ReadJFIF::engine(VRX_InputStorage* storage, uint32_t scale) {
    VRX_JFIFInfo info(manager_);
    if (!info.load(storage)) {
        manager_->report(VRX_ERROR_FORMAT_INFO, "VRX_ReadJFIF::engine()", __FILE__, 61);
        return nullptr;
    }
    return engine(storage, info, scale);
}

VRX_Engine* VRX_ReadJFIF::engine(VRX_InputStorage* storage, const VRX_JFIFInfo& info, uint32_t scale) {
    if (!info.is_loaded() || !info.is_valid()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ReadJFIF::engine()", __FILE__, 79);
        return nullptr;
    }
    const bool grey = info.channels == 1 && info.color_type()->is_gray();
    const bool ycc = info.channels == 3 && info.color_type()->is_ycbcr();
    if (info.bits != 8 || !(grey || ycc)) {
        manager_->report(VRX_ERROR_HEADER, "VRX_ReadJFIF::initiate()", __FILE__, 98);
        return nullptr;
    }
    return VRX_ReadJPEG(manager_).engine(storage, info, scale);
}

}  // namespace vrx
