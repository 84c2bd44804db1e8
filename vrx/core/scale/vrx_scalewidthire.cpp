#include "vrx/core/scale/vrx_scalewidthire.h"

#include "vrx/core/scale/vrx_scalewidthire1bit.h"
#include "vrx/core/scale/vrx_scalewidthire8xnbits.h"

namespace vrx {

VRX_Engine* VRX_ScaleWidthIRE::engine(VRX_Engine* source, uint32_t factor) {
    const VRX_Header* header = source_header(source, "VRX_ScaleWidthIRE::engine()", __FILE__, 67);
    if (!header) return nullptr;
    if (header->bits != 1) return VRX_ScaleWidthIRE8xNBits(manager_).engine(source, factor);
    return VRX_ScaleWidthIRE1Bit(manager_).engine(source, factor);
}

}  // namespace vrx
