#include "vrx/core/scale/vrx_scalewidthire1bit.h"

#include "vrx/core/scale/vrx_scalewidthire1bitengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleWidthIRE1Bit::engine(VRX_Engine* source, uint32_t factor) {
    const VRX_Header* header =
        source_header(source, "VRX_ScaleWidthIRE1Bit::engine()", __FILE__, 66);
    if (!header) return nullptr;
    if (factor == 1) return source;
    return build<VRX_ScaleWidthIRE1BitEngine>(source, header, factor);
}

}  // namespace vrx
