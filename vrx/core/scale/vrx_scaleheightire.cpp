#include "vrx/core/scale/vrx_scaleheightire.h"

#include "vrx/core/scale/vrx_scaleheightireengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleHeightIRE::engine(VRX_Engine* source, uint32_t factor) {
    const VRX_Header* header = source_header(source, "VRX_ScaleHeightIRE::engine()", __FILE__, 66);
    if (!header) return nullptr;
    if (factor == 1) return source;
    return build<VRX_ScaleHeightIREEngine>(source, header, factor);
}

}  // namespace vrx
