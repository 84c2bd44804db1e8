#include "vrx/framework/engine/vrx_engine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_Engine::destroy() {
    bool ok = true;
    if (initiated_) ok = manager_->remove(this);
    return VRX_Object::destroy() && ok;
}

bool VRX_Engine::is_good() { return !is_error(manager_->status().code); }

bool VRX_Engine::check_version(uint32_t version, const char* function, const char* file,
                               uint32_t line) {
    if (is_compatible_version(version)) return true;
    manager_->report(VRX_ERROR_VERSION, function, file, line);
    return false;
}

}  // namespace vrx
