#include "vrx/framework/manager/vrx_firsterrorhandler.h"

#include <mutex>

namespace vrx {

VRX_FirstErrorHandler::VRX_FirstErrorHandler(VRX_Manager* manager)
    : manager_(manager), record_(manager) {}

VRX_Status VRX_FirstErrorHandler::status() { return record_; }

void VRX_FirstErrorHandler::report(uint32_t code, const char* function, const char* file,
                                   uint32_t line) {
    if (code == VRX_SUCCESS || !function || function[0] == '\0') return;
    std::lock_guard<VRX_Mutex> guard(mutex_);
    if (is_error(record_.code)) return;
    const bool replace =
        record_.code == VRX_SUCCESS || (is_warning(record_.code) && is_error(code));
    if (replace) record_ = VRX_Status(manager_, code, function, file, line);
}

bool VRX_FirstErrorHandler::reset() {
    std::lock_guard<VRX_Mutex> guard(mutex_);
    record_ = VRX_Status(manager_);
    return true;
}

}  // namespace vrx
