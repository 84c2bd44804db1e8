#include "Source/zebvrxchain.h"

#include <cstdio>

#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/manager/vrx_status.h"

std::string ZEBVRXError::Describe() const {
    if (code == 0 && function.empty()) return message;
    char status[24];
    std::snprintf(status, sizeof status, "0x%08X", code);
    std::string out = message + " (status " + status;
    if (!function.empty()) out += ", " + function;
    return out + ")";
}

bool ZEBVRXError::Fail(uint32_t status, std::string failingFunction, std::string words) {
    code = status;
    function = std::move(failingFunction);
    message = std::move(words);
    return false;
}

bool ZEBVRXError::Fail(vrx::VRX_Manager& manager, std::string words, std::string unsupported) {
    vrx::VRX_Status status(&manager);
    manager.execute(status);
    const bool isUnsupported = !unsupported.empty() && status.category() == vrx::VRX_ERROR_UNSUPPORTED;
    return Fail(status.code, status.function, isUnsupported ? std::move(unsupported) : std::move(words));
}

void RunChain(vrx::VRX_Engine* last) {
    while (last && last->execute()) {
    }
}
