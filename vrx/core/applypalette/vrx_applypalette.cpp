#include "vrx/core/applypalette/vrx_applypalette.h"

#include "vrx/core/applypalette/vrx_applypalette1bit.h"
#include "vrx/core/applypalette/vrx_applypalette8xnbits.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_ApplyPalette::engine(VRX_Engine* source) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ApplyPalette::engine()", __FILE__, 46);
        return nullptr;
    }
    if (header->bits == 1) return VRX_ApplyPalette1Bit(manager_).engine(source);
    return VRX_ApplyPalette8xNBits(manager_).engine(source);
}

}  // namespace vrx
