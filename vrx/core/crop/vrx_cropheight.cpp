#include "vrx/core/crop/vrx_cropheight.h"

#include "vrx/core/crop/vrx_cropheightengine.h"

namespace vrx {

VRX_Engine* VRX_CropHeight::engine(VRX_Engine* source, uint32_t y, uint32_t height) {
    const VRX_Header* header = source_header(source, "VRX_CropHeight::engine()", __FILE__, 52);
    if (!header) return nullptr;
    if (y == 0 && height >= header->height) return source;
    return build<VRX_CropHeightEngine>(source, header, y, height);
}

}  // namespace vrx
