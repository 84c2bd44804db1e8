#include "vrx/core/scale/vrx_scalennqmrle.h"

#include "vrx/core/scale/vrx_scaleheightnnqmrle.h"
#include "vrx/core/scale/vrx_scalewidthnnqmrle.h"

namespace vrx {

VRX_Engine* VRX_ScaleNNQMRLE::engine(VRX_Engine* source, uint32_t width, uint32_t height) {
    const VRX_Header* header = source_header(source, "VRX_ScaleNNQMRLE::engine()", __FILE__, 62);
    if (!header) return nullptr;
    if (height < header->height) {
        VRX_Engine* rows = VRX_ScaleHeightNNQMRLE(manager_).engine(source, height);
        return VRX_ScaleWidthNNQMRLE(manager_).engine(rows, width);
    }
    VRX_Engine* columns = VRX_ScaleWidthNNQMRLE(manager_).engine(source, width);
    return VRX_ScaleHeightNNQMRLE(manager_).engine(columns, height);
}

}  // namespace vrx
