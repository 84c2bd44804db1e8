#include "vrx/core/qmrle/vrx_qmrlerun.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool run_block_bytes(VRX_Manager* manager, uint32_t width, uint32_t& out, const char* function,
                     const char* file, uint32_t line) {
    const platform::ByteCount bytes = run_array_bytes(width);
    if (!bytes.fits<uint32_t>()) {
        manager->report(VRX_ERROR_ARGUMENT, function, file, line);
        return false;
    }
    out = static_cast<uint32_t>(bytes.value());
    return true;
}

}  // namespace vrx
