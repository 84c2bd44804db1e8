#include "vrx/core/crop/vrx_cropwidth1bitbs.h"

#include "vrx/core/crop/vrx_cropwidth1bitbsengine.h"

namespace vrx {

VRX_Engine* VRX_CropWidth1BitBS::engine(VRX_Engine* source, uint32_t x, uint32_t width) {
    const VRX_Header* header = source_header(source, "VRX_CropWidth1BitBS::engine()", __FILE__, 52);
    return header ? build<VRX_CropWidth1BitBSEngine>(source, header, x, width) : nullptr;
}

}  // namespace vrx
