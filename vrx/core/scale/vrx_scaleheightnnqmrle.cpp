#include "vrx/core/scale/vrx_scaleheightnnqmrle.h"

#include "vrx/core/scale/vrx_scaleheightnnqmrleengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleHeightNNQMRLE::engine(VRX_Engine* source, uint32_t height) {
    const VRX_Header* header =
        source_header(source, "VRX_ScaleHeightNNQMRLE::engine()", __FILE__, 60);
    if (!header) return nullptr;
    if (height == header->height) return source;
    return build<VRX_ScaleHeightNNQMRLEEngine>(source, header, height);
}

}  // namespace vrx
