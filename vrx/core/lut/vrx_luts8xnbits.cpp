#include "vrx/core/lut/vrx_luts8xnbits.h"

namespace vrx {

VRX_Engine* VRX_LutS8xNbits::engine(VRX_Engine* source, const VRX_LutData* table,
                                    const VRX_ColorType* color_type) {
    return build(source, table, color_type, "VRX_LutS8xNbits::engine()", __FILE__, 52);
}

}  // namespace vrx
