#include "vrx/core/scale/vrx_scalewidthnnqmrle.h"

#include "vrx/core/scale/vrx_scalewidthnnqmrleengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleWidthNNQMRLE::engine(VRX_Engine* source, uint32_t width) {
    const VRX_Header* header =
        source_header(source, "VRX_ScaleWidthNNQMRLE::engine()", __FILE__, 60);
    if (!header) return nullptr;
    if (width == header->width) return source;
    return build<VRX_ScaleWidthNNQMRLEEngine>(source, header, width);
}

}  // namespace vrx
