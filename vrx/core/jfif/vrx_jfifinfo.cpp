#include "vrx/core/jfif/vrx_jfifinfo.h"

#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_JFIFInfo::load_body(VRX_InputStorage* storage) {
    if (!storage || storage->is_closed() || storage->is_end()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_JFIFInfo::load()", __FILE__, 70);
        return false;
    }
    const int32_t position = storage->position();
    if (!VRX_JPEGInfo::load_body(storage) || !load_jfif_fields(storage, position)) return false;
    // Other channel counts keep the colour type the header gave, so that the
    // JFIF reader can refuse them.
    if (channels == 3) color_type(VRX_ColorType::ycbcr());
    if (channels == 1) color_type(VRX_ColorType::gray());
    resolution_.set(static_cast<double>(jfif_x_density_), static_cast<double>(jfif_y_density_), 1);
    return true;
}

bool VRX_JFIFInfo::load_jfif_fields(VRX_InputStorage* storage, int32_t position) {
    if (!has_jfif_) {
        storage->seek_from_begin(position);
        loaded_ = false;
        return false;
    }
    jfif_x_density_ = internal_->x_density();
    jfif_y_density_ = internal_->y_density();
    return true;
}

}  // namespace vrx
