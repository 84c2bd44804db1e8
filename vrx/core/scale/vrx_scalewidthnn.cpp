#include "vrx/core/scale/vrx_scalewidthnn.h"

#include "vrx/core/scale/vrx_scalewidthire.h"
#include "vrx/core/scale/vrx_scalewidthnnengine.h"

namespace vrx {

VRX_Engine* VRX_ScaleWidthNN::engine(VRX_Engine* source, uint32_t width) {
    const VRX_Header* header = source_header(source, "VRX_ScaleWidthNN::engine()", __FILE__, 53);
    if (!header) return nullptr;
    if (width == header->width) return source;
    if (width % header->width == 0)
        return VRX_ScaleWidthIRE(manager_).engine(source, width / header->width);
    return build<VRX_ScaleWidthNNEngine>(source, header, width);
}

}  // namespace vrx
