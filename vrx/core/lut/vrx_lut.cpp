#include "vrx/core/lut/vrx_lut.h"

#include "vrx/core/lut/vrx_luts8xnbits.h"
#include "vrx/core/lut/vrx_lutu8xnbits.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_Engine* VRX_Lut::engine(VRX_Engine* source, const VRX_LutData* table,
                            const VRX_ColorType* color_type) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_Lut::engine()", __FILE__, 48);
        return nullptr;
    }
    if (header->data_type()->is_u_integer())
        return VRX_LutU8xNbits(manager_).engine(source, table, color_type);
    return VRX_LutS8xNbits(manager_).engine(source, table, color_type);
}

}  // namespace vrx
