#include "vrx/core/scale/vrx_scaleheightnn.h"

#include "vrx/core/scale/vrx_scaleheightire.h"
#include "vrx/core/scale/vrx_scaleheightnnengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleHeightNN::engine(VRX_Engine* source, uint32_t height) {
    const VRX_Header* header = source_header(source, "VRX_ScaleHeightNN::engine()", __FILE__, 53);
    if (!header) return nullptr;
    if (height == header->height) return source;
    if (height % header->height == 0)
        return VRX_ScaleHeightIRE(manager_).engine(source, height / header->height);
    return build<VRX_ScaleHeightNNEngine>(source, header, height);
}

}  // namespace vrx
