#include "vrx/framework/manager/vrx_errorhandler.h"

namespace vrx {

void VRX_ErrorHandler::report(uint32_t code, const char* function) {
    report(code, function, "", 0);
}

}  // namespace vrx
