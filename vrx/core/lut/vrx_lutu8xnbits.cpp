#include "vrx/core/lut/vrx_lutu8xnbits.h"

namespace vrx {

VRX_Engine* VRX_LutU8xNbits::engine(VRX_Engine* source, const VRX_LutData* table,
                                    const VRX_ColorType* color_type) {
    return build(source, table, color_type, "VRX_LutU8xNbits::engine()", __FILE__, 54);
}

}  // namespace vrx
